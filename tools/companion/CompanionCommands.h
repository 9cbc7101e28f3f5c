#pragma once
// The commands of zkf780a-qt, the companion program that does for zkf780a what needs Qt:
// drawing the sample data from fonts and writing a ROM image's pictures as PNG files. zkf780a
// starts it for `sample-data` and `inspect --png`, so that zkf780a itself loads no Qt library.
// argv[0] is the command name; each returns the process exit code.

namespace Companion {

inline constexpr const char* ProgramName = "zkf780a-qt";

int SampleDataMain(int argc, char** argv);
// inspect-png ROMFILE DIR [--json]: the pictures of ROMFILE as DIR/<name>.png plus the contact
// sheet; the summary line goes to stderr with --json (stdout then holds the JSON report).
int RomPicturePngMain(int argc, char** argv);
// diff-png A.ROM B.ROM DIR: each picture that differs as DIR/<name>.png, A's left, B's right.
int DiffPngMain(int argc, char** argv);

} // namespace Companion
