// The removal pass: deletes the preset-permission key of every printer that
// uses the supported driver.
#pragma once

// For each such printer, deletes
// HKEY_LOCAL_MACHINE\Software\Zanto\ZPD4\<printer name>\PROFILE\PRESET_PERMISSION
// if it can first be opened with full access. Reports nothing.
void RemovePresetPermissionKeys();
