// The setting of velmora-undo's tests on real files: a fresh folder that is
// also the program's folder, so its Undo.log is the log; renames made there as
// the window makes them; and velmora-undo run on that log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fileio/rename.h"
#include "fileio/text_file.h"
#include "fileio/undo.h"
#include "undo/command.h"
#include "test_files.h"

namespace velmora::testing {

class UndoFolderTest : public TempFolderTest {
 protected:
  UndoFolderTest() : TempFolderTest("velmora-undo-") {}

  Text LogPath() const { return PathOf("Undo.log"); }
  /// A rename as the window makes it: RenameWithUndo, then its line appended.
  void RenameAsVelmora(const std::string& from, const std::string& to) const {
    const Text undo = RenameWithUndo(PathOf(from), PathOf(to)).undoText;
    ASSERT_FALSE(undo.empty());
    UndoLogWriter log(LogPath());
    ASSERT_TRUE(log.Append(undo).written);
  }
  /// velmora-undo with the arguments `args`, on this folder's log.
  UndoOutcome Undo(const std::vector<Text>& args = {}) const {
    return RunUndo(ParseUndoArguments(args), LogPath());
  }
};

}  // namespace velmora::testing
