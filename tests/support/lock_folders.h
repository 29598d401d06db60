// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/main_window.h"
#include "tests/support/temp_dir.h"

#include <QString>

namespace kadrix::test {

// A runtime folder of the test's own for a window's lock file and socket, so
// that no test meets another test's lock or the user's; removed with the
// object.
class LockFolders {
public:
    QString folders() const { return QString::fromStdString(runtime_.str()); }
    const TempDir& runtime() const { return runtime_; }

private:
    TempDir runtime_{"kadrix-runtime"};
};

} // namespace kadrix::test
