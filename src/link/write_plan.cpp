#include "link/write_plan.h"

#include <algorithm>

namespace vexa::link {
namespace {

bool UnitHolds(const EepromImage& image, const UnitBytes& unit, long address) {
  if (address < 0 || address + kBlockSize > std::min(unit.readTo, kImageSize)) return false;
  return std::equal(image.data() + address, image.data() + address + kBlockSize, unit.bytes.data() + address);
}

}  // namespace

WritePlan ChangedBlocksPlan(const EepromImage& image, const UnitBytes& unit, long used, long usable) {
  bool headerChanged = false;
  WritePlan changed;
  for (const BlockWrite& w : FullWritePlan(used, usable)) {
    if (w.zeros || UnitHolds(image, unit, w.address)) continue;
    if (w.address == kMagicBlock || w.address == kChecksumBlock) {
      headerChanged = true;
    } else {
      changed.push_back(w);
    }
  }
  if (changed.empty() && !headerChanged) return {};
  // The full plan sends the front area before the body; the changed blocks
  // go in address order.
  std::sort(changed.begin(), changed.end(), [](const BlockWrite& a, const BlockWrite& b) { return a.address < b.address; });
  WritePlan plan{{kMagicBlock, true}, {kChecksumBlock, true}};
  plan.insert(plan.end(), changed.begin(), changed.end());
  plan.push_back({kMagicBlock, false});
  plan.push_back({kChecksumBlock, false});
  return plan;
}

}  // namespace vexa::link
