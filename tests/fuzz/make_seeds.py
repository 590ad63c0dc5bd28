#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora into corpus/<target>/: valid inputs of every shape the
readers meet (property lists and keyed archives as the original platform lays them out, desktop
entries, stored passwords, vantrel-defaults command lines, /proc facts), and cut and bit-flipped
copies of them. Run it again after changing it; the files are kept in the repository.

    tests/fuzz/make_seeds.py"""

import os
import plistlib
import random
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = "68fcc1cb5322b8e943e956503afb94ea01662f9cdd3fea8ad864398a23879541"
IV = "8ae0bc723916eb695316583f2e564ff7"
UID = plistlib.UID


def keyed_archive(objects):
    return {"$version": 100000, "$archiver": "NSKeyedArchiver", "$top": {"root": UID(1)},
            "$objects": objects}


def string_archive(text, class_name=None):
    if class_name is None:
        return keyed_archive(["$null", text])
    # An NSMutableString is an object of its own with the text under NS.string.
    return keyed_archive(["$null", {"NS.string": text, "$class": UID(2)},
                          {"$classname": class_name, "$classes": [class_name, "NSString",
                                                                  "NSObject"]}])


def array_archive(texts, class_name="NSArray", shared=False):
    objects = ["$null", None]
    uids = []
    for text in texts:
        if shared and text in objects:
            uids.append(UID(objects.index(text)))
        else:
            objects.append(text)
            uids.append(UID(len(objects) - 1))
    objects.append({"$classname": class_name, "$classes": [class_name, "NSArray", "NSObject"]
                    if class_name != "NSArray" else ["NSArray", "NSObject"]})
    objects[1] = {"NS.objects": uids, "$class": UID(len(objects) - 1)}
    return keyed_archive(objects)


def xml_form(value):
    """The XML form of a keyed archive writes a UID as a dictionary with the key CF$UID."""
    if isinstance(value, UID):
        return {"CF$UID": value.data}
    if isinstance(value, dict):
        return {key: xml_form(item) for key, item in value.items()}
    if isinstance(value, list):
        return [xml_form(item) for item in value]
    return value


def damaged(data, rng, count):
    copies = []
    for _ in range(count):
        copy = bytearray(data)
        if rng.random() < 0.5 and len(copy) > 1:
            copy = copy[:rng.randrange(1, len(copy))]
        for _ in range(rng.randrange(1, 4)):
            if copy:
                at = rng.randrange(len(copy))
                copy[at] ^= 1 << rng.randrange(8)
        copies.append(bytes(copy))
    return copies


def write_corpus(name, inputs, rng, damaged_per_input=2):
    folder = os.path.join(HERE, "corpus", name)
    # Inputs that once found a fault ("regression-…") stay; the seeds are made anew.
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if old.startswith("seed-"):
            os.remove(os.path.join(folder, old))
    everything = list(inputs)
    for data in inputs:
        everything += damaged(data, rng, damaged_per_input)
    seen = set()
    for index, data in enumerate(everything):
        if data in seen:
            continue
        seen.add(data)
        with open(os.path.join(folder, f"seed-{index:03d}"), "wb") as file:
            file.write(data)


def plist_inputs():
    archives = [
        string_archive("com.example.App"),
        string_archive(""),
        string_archive("pässwört ✓ 密码 🔒"),  # written as UTF-16 by the binary format
        string_archive("mutable", "NSMutableString"),
        string_archive("mutable ünïcode", "NSMutableString"),
        array_archive(["org.mozilla.firefox", "org.gnome.Calculator"]),
        array_archive([]),
        array_archive(["same", "same", "other"], shared=True),
        array_archive(["a", "b"], "NSMutableArray"),
        array_archive(["ü", "/home/u/Desktop/tool.desktop"], "NSMutableArray", shared=True),
    ]
    plain = [{"isActivateVTR": True, "savedIds": b"data", "count": 3, "ratio": 0.5,
              "names": ["a", "b"], "nested": {"k": [1, 2.5, False]}},
             ["top", 1, -1, 2 ** 40, b"\x00\xff"], "just text", 12]
    inputs = []
    for value in archives + plain:
        inputs.append(plistlib.dumps(value, fmt=plistlib.FMT_BINARY))
    for value in archives[:4] + plain[:2]:
        inputs.append(plistlib.dumps(xml_form(value), fmt=plistlib.FMT_XML))
    return inputs


DESKTOP_ENTRIES = [
    """[Desktop Entry]
Version=1.0
Type=Application
Name=Firefox ESR
Name[de]=Firefox ESR
GenericName=Web Browser
Exec=/usr/lib/firefox-esr/firefox-esr %u
Icon=firefox-esr
Terminal=false
StartupWMClass=Firefox-esr
Categories=Network;WebBrowser;
Actions=new-window;

[Desktop Action new-window]
Name=New Window
Exec=/usr/lib/firefox-esr/firefox-esr -new-window
""",
    """[Desktop Entry]
Name=Firefox
Exec=/usr/bin/flatpak run --branch=stable --arch=x86_64 --command=firefox --file-forwarding org.mozilla.firefox @@u %u @@
Icon=org.mozilla.firefox
Type=Application
X-Flatpak=org.mozilla.firefox
""",
    """[Desktop Entry]
X-SnapInstanceName=firefox
Name=Firefox Web Browser
Exec=env BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/firefox_firefox.desktop /snap/bin/firefox %u
Icon=/snap/firefox/3836/default256.png
Type=Application
""",
    """[Desktop Entry]
Type=Application
Name=Top
Exec=top
Terminal=true
TryExec=top
""",
    """[Desktop Entry]
Type=Application
Name=Settings
Exec=sh -c "exec env GTK_THEME=Adwaita gnome-control-center"
OnlyShowIn=GNOME;Unity;
NotShowIn=KDE;
NoDisplay=false
""",
    """[Desktop Entry]
Type=Application
Name=Quoted
Exec="/opt/My App/bin/run" --x "a \\\\"b\\\\" c" %F
""",
    """[Desktop Entry]
Hidden=true
""",
    """[Desktop Entry]
Type=Link
Name=Site
URL=https://example.com/
""",
    """# comment
[Desktop Entry]
Type=Application
Name=Broken
Exec="unterminated
""",
]


def password_inputs():
    inputs = []
    for value in [string_archive("secret"), string_archive("pässwört 🔒"), string_archive(""),
                  string_archive("x", "NSMutableString"), array_archive(["not", "a string"]),
                  "not an archive"]:
        plain = plistlib.dumps(value, fmt=plistlib.FMT_BINARY)
        cipher = subprocess.run(["openssl", "enc", "-aes-256-cbc", "-K", KEY, "-iv", IV],
                                input=plain, capture_output=True, check=True).stdout
        inputs.append(cipher)
    inputs += [b"", b"\x00" * 16, b"short", bytes(range(48))]
    return inputs


DEFAULTS_COMMANDS = [
    "read", "read\nsavedIds", "read\napplock", "read\nisActivateVTR", "read\nmissing",
    "write\nsavedIds\n-array\norg.example.A\nb", "write\nsavedIds\n-array",
    "write\nisActivateVTR\n-bool\nyes", "write\nisEnableFullscreenLockMode\n-bool\n0",
    "write\nnote\n-string\nhello ü", "write\nisActivateVTR\n-string\ntrue",
    "write\ncustomAppPaths\n-array\n/home/u/Desktop/tool.desktop", "delete\napplock",
    "delete\nsavedIds", "--help", "-h", "write", "write\nkey", "write\nkey\n-int\n3", "bogus",
    "read\n-bool", "",
]

PROCESS_FACTS = [
    ("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
     "app-gnome-org.gnome.Nautilus-3719.scope\n", "", ["nautilus", "--gapplication-service"]),
    ("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
     "app-flatpak-org.mozilla.firefox-2437.scope\n",
     "[Application]\nname=org.mozilla.firefox\nruntime=runtime/org.freedesktop.Platform/x86_64/"
     "23.08\n\n[Instance]\ninstance-id=1849363523\n", ["/app/lib/firefox/firefox"]),
    ("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
     "snap.firefox.firefox-3a1f3b8c-5f0b-4a8e-9c4e-2f1e0d9c8b7a.scope\n", "",
     ["/snap/firefox/3836/usr/lib/firefox/firefox"]),
    ("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
     "app-org.kde.dolphin@a3c54b1e0f6d4a8b8e2f7c9d1b0a6e5f.service\n", "", ["dolphin"]),
    ("12:pids:/user.slice\n1:name=systemd:/user.slice/user-1000.slice/user@1000.service/"
     "app.slice/app-gnome-google\\x2dchrome-5174.scope\n0::/user.slice\n", "",
     ["env", "A=1", "sh", "-c", "exec flatpak run org.example.App"]),
    ("0::/\n", "", ["/usr/bin/env", "-S", "LC_ALL=C tool --x"]),
]


def main():
    rng = random.Random(20261208)
    write_corpus("plist_readers", plist_inputs(), rng)
    write_corpus("desktop_entry", [entry.encode() for entry in DESKTOP_ENTRIES], rng)
    write_corpus("stored_password", password_inputs(), rng, damaged_per_input=3)
    write_corpus("defaults_tool", [command.encode() for command in DEFAULTS_COMMANDS], rng, 1)
    write_corpus("identification",
                 [b"\0".join([cgroup.encode(), info.encode()] + [w.encode() for w in words])
                  for cgroup, info, words in PROCESS_FACTS], rng)


if __name__ == "__main__":
    main()
