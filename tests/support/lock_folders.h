#pragma once

#include "app/UnitMain.h"
#include "tests/support/temp_dir.h"

namespace kadrix::test {

// Folders of the test's own for a window's lock file, so that no test meets
// another test's lock or the user's; removed with the object.
class LockFolders {
public:
    TMain::LockFolders folders() const {
        return {QString::fromStdString(program_.str()), QString::fromStdString(runtime_.str())};
    }
    const TempDir& program() const { return program_; }

private:
    TempDir program_{"kadrix-program"};
    TempDir runtime_{"kadrix-runtime"};
};

} // namespace kadrix::test
