#include "jobs/LightBarState.h"

namespace tessel {

const char* blockWords(LightBarState::Block block) {
    using Block = LightBarState::Block;
    switch (block) {
    case Block::Unchanged:
    case Block::Old: return "its old VCB";
    case Block::New:
    case Block::Verified: return "the new VCB";
    case Block::Mixed: return "the new VCB with old lines still in it";
    case Block::Differs: return "a VCB that differs from the one written";
    case Block::Lost: break;
    }
    return "no valid VCB";
}

} // namespace tessel
