#!/usr/bin/env python3
"""The layering check on small made-up trees: each wrong arrow is found at its file and line."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layering  # noqa: E402

ARCHITECTURE = """
```layers
core:
strings: core
geometry: core
containers: strings
```

```files
inc/Core.h          core
inc/SYS_String.h    strings
inc/SYS_Geom.h      geometry
inc/SCC_*.h         containers
sys/sysstr*         strings
sys/locgeom*        geometry
scc/*               containers
```
"""

# Files of a tree that keeps to its layers.
CLEAN = {
    "inc/Core.h": "",
    "inc/SYS_String.h": '#include "Core.h"\n',
    "inc/SYS_Geom.h": '#include "Core.h"\n',
    "inc/SCC_Array.h": '#include "SYS_String.h"\n#include <vector>\n',
    "sys/sysstr.cpp": '#include "SYS_String.h"\n#include "sys/sysstr_detail.h"\n',
    "sys/sysstr_detail.h": "",
    "sys/locgeom.cpp": '// #include "SCC_Array.h" is only a comment\n#include "SYS_Geom.h"\n',
    "scc/SCC_Array.cpp": '#include "SCC_Array.h"\n#include "Core.h"\n',
}


def check_tree(changes, architecture=ARCHITECTURE):
    with tempfile.TemporaryDirectory() as root:
        for path, text in dict(CLEAN, **changes).items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as stream:
                stream.write(text)
        with open(os.path.join(root, "ARCHITECTURE.md"), "w") as stream:
            stream.write(architecture)
        return check_layering.check(root)


class LayeringCheck(unittest.TestCase):
    def test_a_tree_that_keeps_to_its_layers_passes(self):
        self.assertEqual([], check_tree({}))

    def test_each_wrong_arrow_is_named_with_its_file_and_line(self):
        cases = [
            # (changed file, its text, the start of the one expected error)
            ("sys/locgeom.cpp", '#include "SYS_Geom.h"\n#include "SCC_Array.h"\n',
             "sys/locgeom.cpp:2: error: sys/locgeom.cpp (geometry) may not include "
             "inc/SCC_Array.h (containers)"),
            ("inc/SYS_String.h", '#include "SCC_Array.h"\n',
             "inc/SYS_String.h:1: error: inc/SYS_String.h (strings) may not include"),
            ("inc/SYS_Geom.h", '\n\n#include "SYS_String.h"\n',
             "inc/SYS_Geom.h:3: error: inc/SYS_Geom.h (geometry) may not include"),
            ("scc/SCC_Array.cpp", '#include "sys/sysstr_detail.h"\n',
             "scc/SCC_Array.cpp:1: error: sys/sysstr_detail.h is private to sys/"),
            ("scc/SCC_Map.cpp", '#include "SCC_Missing.h"\n',
             'scc/SCC_Map.cpp:1: error: "SCC_Missing.h" is no header of the library'),
            ("sys/sysnew.cpp", "",
             "sys/sysnew.cpp:1: error: no line of the files table in ARCHITECTURE.md places"),
        ]
        for path, text, expected in cases:
            with self.subTest(path=path):
                errors = check_tree({path: text})
                self.assertEqual(1, len(errors), errors)
                self.assertTrue(errors[0].startswith(expected), errors[0])

    def test_arrows_are_followed_downward_but_never_upward(self):
        # containers -> strings -> core: a container may include the core directly.
        self.assertEqual([], check_tree({"scc/SCC_Array.cpp": '#include "Core.h"\n'}))
        errors = check_tree({"inc/Core.h": '#include "SYS_String.h"\n'})
        self.assertEqual(1, len(errors), errors)

    def test_a_broken_table_is_refused(self):
        cases = [
            ("a loop", ARCHITECTURE.replace("core:\n", "core: containers\n"), "the layers loop"),
            ("an unknown layer", ARCHITECTURE.replace("strings: core", "strings: nowhere"),
             "which is no layer"),
            ("a misplaced file", ARCHITECTURE.replace("scc/*               containers",
                                                      "scc/*               nowhere"),
             "which is no layer"),
            ("no files table", ARCHITECTURE.replace("```files", "```text"), "no ```files"),
        ]
        for name, architecture, message in cases:
            with self.subTest(name):
                with self.assertRaises(ValueError) as refused:
                    check_tree({}, architecture)
                self.assertIn(message, str(refused.exception))


if __name__ == "__main__":
    unittest.main()
