#include "LayoutPreparsedData.h"

namespace linuxhid {

hidplatform::HidCaps LayoutPreparsedData::Caps() const { return layout_.Caps(); }

}  // namespace linuxhid
