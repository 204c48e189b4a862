#!/usr/bin/env bash
# A case-only rename on a case-insensitive file system that numbers entries
# anew for each spelling (FAT through FUSE): Report.txt becomes report.txt,
# not "report (1).txt", and its undo gives Report.txt back. The core tests
# that need such a folder run with TMPDIR on a FAT image mounted by fusefat.
# Skipped where FUSE or fusefat is missing.
# Usage: case_insensitive_test.sh PATH/TO/velmora_core_tests
set -uo pipefail
. "$(dirname "$0")/../lib/xvfb.sh"
require_tools --skip "(install fusefat, dosfstools)" fusefat mkfs.vfat fusermount
[ -c /dev/fuse ] || { echo "SKIP: no /dev/fuse"; exit 77; }
make_work
mnt="$work/mnt"
mkdir -p "$mnt"
truncate -s 16M "$work/fat.img"
mkfs.vfat "$work/fat.img" >/dev/null
fusefat -o rw+ "$work/fat.img" "$mnt" >"$work/fusefat.log" 2>&1 || { echo "SKIP: fusefat cannot mount here"; exit 77; }
unmount() { fusermount -u "$mnt" 2>/dev/null || fusermount -uz "$mnt" 2>/dev/null; cleanup; }
trap unmount EXIT

begin "case-only renames on FAT"
# A file system daemon that hangs must not hang the run.
if ! TMPDIR="$mnt" timeout 60 "$1" \
    --gtest_filter='FilesystemTest.CaseOnlyRenameOnCaseInsensitiveFolder:UndoTest.ACaseOnlyRenameIsUndone' \
    >"$work/tests.log" 2>&1; then
  fail "core tests on FAT: $(grep -E 'Failure|FAILED|exception|SKIPPED' "$work/tests.log" | head -5)"
fi
grep -q 'SKIPPED \]' "$work/tests.log" && fail "the FAT folder was not taken as case-insensitive"
end_cases "case-insensitive"
