"""The end-to-end scenarios: the printers a machine has, the keys seeded below
HKLM\\Software\\Zanto (with their values, in regedit's notation), and the keys
one run must remove. Every other key and value must be left as it was."""

DRIVER = "Zanto TONERA TX-4460"
PRESET = "\\PROFILE\\PRESET_PERMISSION"
LEVEL = {"Level": "dword:00000002"}


def preset(printer):
    return "ZPD4\\" + printer + PRESET


LONGEST = "L" + "n" * 212    # 213 bytes: the path is 259 bytes, the most that fits
TOO_LONG = "A" + "x" * 213   # 214 bytes; listed before "B later"

SCENARIOS = [
    dict(name="exact_driver_name",
         printers=[("Front Desk (2nd floor)", DRIVER)],
         keys={preset("Front Desk (2nd floor)"): LEVEL},
         removed=[preset("Front Desk (2nd floor)")]),
    dict(name="driver_name_in_capitals",
         printers=[("Office", DRIVER.upper())],
         keys={preset("Office"): LEVEL},
         removed=[preset("Office")]),
    dict(name="driver_name_in_small_letters",
         printers=[("Office", DRIVER.lower())],
         keys={preset("Office"): LEVEL},
         removed=[preset("Office")]),
    dict(name="near_misses_keep_their_keys",
         printers=[("Blank", DRIVER + " "), ("Suffix", DRIVER + " PS"),
                   ("Model", "Zanto TONERA TX-4470"), ("Generic", "Generic / Text Only")],
         keys={preset("Blank"): LEVEL, preset("Suffix"): LEVEL, preset("Model"): LEVEL,
               preset("Generic"): LEVEL},
         removed=[]),
    dict(name="selected_printers_without_the_key",
         printers=[("NoPreset", DRIVER), ("OnlyProfile", DRIVER), ("NoKey", DRIVER),
                   ("Office", DRIVER)],
         keys={"ZPD4\\NoPreset\\PROFILE\\PAPER": {}, "ZPD4\\OnlyProfile\\PROFILE": {},
               preset("Office"): {}},
         removed=[preset("Office")]),
    dict(name="siblings_and_values_survive",
         printers=[("Office", DRIVER), ("Lobby", "Generic / Text Only")],
         keys={"ZPD4": {"Installed": '"1.0"'},
               "ZPD4\\Office\\PROFILE": {"Paper": '"A4"', "Copies": "dword:00000002"},
               "ZPD4\\Office\\PROFILE\\COLOR": {"Mode": '"mono"'},
               "ZPD4\\Office\\SETTINGS": {},
               preset("Office"): dict(LEVEL, Users='"everyone"'),
               preset("Lobby"): LEVEL,
               "ZPD4\\Retired" + PRESET: LEVEL,
               "Other\\Office" + PRESET: LEVEL},
         removed=[preset("Office")]),
    dict(name="preset_key_with_a_subkey_stays",
         printers=[("Office", DRIVER)],
         keys={preset("Office") + "\\USERS": {"Admin": "dword:00000001"}},
         removed=[]),
    dict(name="name_of_213_bytes",
         printers=[(LONGEST, DRIVER)],
         keys={preset(LONGEST): LEVEL},
         removed=[preset(LONGEST)]),
    dict(name="name_of_214_bytes_left_alone_later_printer_handled",
         printers=[(TOO_LONG, DRIVER), ("B later", DRIVER)],
         keys={preset(TOO_LONG): LEVEL, preset("B later"): LEVEL},
         removed=[preset("B later")]),
    dict(name="no_printers_at_all",
         printers=[],
         keys={preset("Office"): LEVEL},
         removed=[]),
    dict(name="second_run_changes_nothing_more",
         printers=[("Office", DRIVER), ("Plant", DRIVER)],
         keys={preset("Office"): LEVEL, "ZPD4\\Plant\\PROFILE": {}},
         removed=[preset("Office")],
         runs=2),
    dict(name="command_line_is_ignored",
         args=["/?", "--only", "Lobby", "/uninstall"],
         printers=[("Office", DRIVER), ("Lobby", "Generic / Text Only")],
         keys={preset("Office"): LEVEL, preset("Lobby"): LEVEL},
         removed=[preset("Office")]),
]
