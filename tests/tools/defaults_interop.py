#!/usr/bin/env python3
"""Checks that Vantrel's defaults file is an ordinary property list that other programs share.

    defaults_interop.py make-foreign PATH   write a defaults file as another program would
    defaults_interop.py check TOOL          run the interop tests against vantrel-defaults
"""

import datetime
import os
import plistlib
import stat
import subprocess
import sys
import tempfile
import unittest

DOMAIN_FILE = "com.corvane.vantrel.plist"
FOREIGN_IDS = ["org.gnome.Calculator", "firefox", "org.gnome.Calculator", "Ünïcode ✓"]
FOREIGN_PATHS = ["/opt/Tool/tool.desktop"]


def keyed_archive(strings):
    """The object graph NSKeyedArchiver makes for an array of strings: equal strings share one
    object, and a mutable string may be kept as an NSMutableString dictionary."""
    objects = ["$null", None]
    uid_of = {}
    members = []
    for index, text in enumerate(strings):
        if text not in uid_of:
            uid_of[text] = plistlib.UID(len(objects))
            if index == len(strings) - 1:
                objects.append({"NS.string": text, "$class": None})
            else:
                objects.append(text)
        members.append(uid_of[text])
    string_class = plistlib.UID(len(objects))
    objects.append({"$classname": "NSMutableString",
                    "$classes": ["NSMutableString", "NSString", "NSObject"]})
    for item in objects:
        if isinstance(item, dict) and "$class" in item and item["$class"] is None:
            item["$class"] = string_class
    objects[1] = {"NS.objects": members, "$class": plistlib.UID(len(objects))}
    objects.append({"$classname": "NSMutableArray",
                    "$classes": ["NSMutableArray", "NSArray", "NSObject"]})
    archive = {"$version": 100000, "$archiver": "NSKeyedArchiver",
               "$top": {"root": plistlib.UID(1)}, "$objects": objects}
    return plistlib.dumps(archive, fmt=plistlib.FMT_BINARY)


def unarchive_string_list(data):
    """Reads back an archive of an array of strings, checking the parts the platform needs."""
    archive = plistlib.loads(data)
    assert archive["$archiver"] == "NSKeyedArchiver", archive
    assert archive["$version"] == 100000, archive
    objects = archive["$objects"]
    assert objects[0] == "$null"
    root = objects[archive["$top"]["root"].data]
    assert objects[root["$class"].data]["$classname"] in ("NSArray", "NSMutableArray")
    result = []
    for uid in root["NS.objects"]:
        assert isinstance(uid, plistlib.UID)
        item = objects[uid.data]
        result.append(item if isinstance(item, str) else item["NS.string"])
    return result


def foreign_defaults():
    return {
        "isActivateVTR": False,
        "isShowRunningAppsOnly": True,
        "isEnableFullscreenLockMode": 1,  # a number, not a boolean
        "isLaunchAutomaticallyAtMacStartup": "true",  # a text, not a boolean
        "savedIds": keyed_archive(FOREIGN_IDS),
        "customAppPaths": keyed_archive(FOREIGN_PATHS),
        "promotionState": {"shown": 3, "last": datetime.datetime(2024, 5, 6, 7, 8, 9)},
    }


def write_foreign(path):
    with open(path, "wb") as f:
        plistlib.dump(foreign_defaults(), f, fmt=plistlib.FMT_BINARY)


class Interop(unittest.TestCase):
    tool = None

    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.dir.name, DOMAIN_FILE)

    def tearDown(self):
        self.dir.cleanup()

    def run_tool(self, *args):
        env = dict(os.environ, XDG_CONFIG_HOME=self.dir.name)
        return subprocess.run([self.tool, *args], env=env, capture_output=True, text=True,
                              timeout=60, check=False)

    def load(self):
        with open(self.path, "rb") as f:
            self.assertEqual(f.read(8), b"bplist00")
            f.seek(0)
            return plistlib.load(f)

    def test_reads_a_file_another_program_made(self):
        write_foreign(self.path)
        ids = self.run_tool("read", "savedIds")
        self.assertEqual(ids.returncode, 0, ids.stderr)
        self.assertEqual(ids.stdout, "".join(i + "\n" for i in FOREIGN_IDS))
        flag = self.run_tool("read", "isActivateVTR")
        self.assertEqual(flag.stdout, "false\n")
        listing = self.run_tool("read")
        self.assertEqual(listing.returncode, 0, listing.stderr)
        self.assertIn('        "Ünïcode ✓"\n', listing.stdout)
        self.assertIn("    isEnableFullscreenLockMode = 1;\n", listing.stdout)
        self.assertIn("        last = 2024-05-06T07:08:09Z;\n", listing.stdout)

    def test_writes_a_file_other_programs_read(self):
        items = ["org.gnome.Calculator", "", "ünï \"q\"", "firefox"]
        for args in (["write", "isActivateVTR", "-bool", "false"],
                     ["write", "isShowRunningAppsOnly", "-bool", "true"],
                     ["write", "note", "-string", "héllo\nworld"],
                     ["write", "savedIds", "-array", *items],
                     ["write", "customAppPaths", "-array"]):
            result = self.run_tool(*args)
            self.assertEqual(result.returncode, 0, (args, result.stderr))
        values = self.load()
        self.assertIs(values["isActivateVTR"], False)
        self.assertIs(values["isShowRunningAppsOnly"], True)
        self.assertEqual(values["note"], "héllo\nworld")
        self.assertIsInstance(values["savedIds"], bytes)
        self.assertEqual(unarchive_string_list(values["savedIds"]), items)
        self.assertEqual(unarchive_string_list(values["customAppPaths"]), [])
        self.assertEqual(stat.S_IMODE(os.stat(self.path).st_mode), 0o600)

    def test_changes_keep_the_other_programs_keys(self):
        write_foreign(self.path)
        self.assertEqual(self.run_tool("write", "savedIds", "-array", "a").returncode, 0)
        self.assertEqual(self.run_tool("delete", "isShowRunningAppsOnly").returncode, 0)
        values = self.load()
        expected = foreign_defaults()
        del expected["isShowRunningAppsOnly"]
        del expected["savedIds"]
        self.assertEqual(unarchive_string_list(values.pop("savedIds")), ["a"])
        self.assertEqual(values, expected)

    def test_bad_arguments_leave_the_file_alone(self):
        write_foreign(self.path)
        with open(self.path, "rb") as f:
            before = f.read()
        for args in (["write", "savedIds", "-string", "a"], ["write", "x", "-bool", "perhaps"],
                     ["delete"], []):
            result = self.run_tool(*args)
            self.assertEqual(result.returncode, 2, args)
            self.assertEqual(result.stdout, "")
            self.assertIn("Usage:", result.stderr)
        with open(self.path, "rb") as f:
            self.assertEqual(f.read(), before)
        missing = self.run_tool("read", "absent")
        self.assertEqual(missing.returncode, 1)
        self.assertNotEqual(missing.stderr, "")


def main(argv):
    if len(argv) == 3 and argv[1] == "make-foreign":
        write_foreign(argv[2])
        return 0
    if len(argv) == 3 and argv[1] == "check":
        Interop.tool = os.path.abspath(argv[2])
        program = unittest.main(argv=[argv[0]], exit=False, verbosity=2)
        return 0 if program.result.wasSuccessful() else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
