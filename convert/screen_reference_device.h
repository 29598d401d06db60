// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/convert/emf_writer.h"

class QScreen;

namespace kadrix {

// The screen as a metafile's reference device: its size in pixels and in
// millimetres; the 96-dpi default where there is no screen or it reports no
// physical size.
ReferenceDevice screenReferenceDevice(const QScreen* screen);

} // namespace kadrix
