// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAudioDevice>

namespace kadrix {

// The sound input that the desktop's sound settings name as the default.
// Qt's own default is the first input that is not a monitor of an output,
// whatever the user chose; the sound server's default source is asked for
// instead and its device taken where Qt lists it. Null where there is no
// input at all.
QAudioDevice defaultSoundInput();

} // namespace kadrix
