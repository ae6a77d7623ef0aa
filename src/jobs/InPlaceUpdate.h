#pragma once

#include "block/BlockArea.h"

namespace tessel {

// Updates the light bar's block without an erase: every line of the old text that the new text
// does not carry is withdrawn ("~", zero bytes in flash), the new lines and a new end marker
// are appended in the erased space after the old end marker. Flash bits can only be cleared
// without an erase, so this works as long as the appended bytes land on erased (0xFF) flash.
//
// newArea: the rendered block to program; on success it is replaced by the updated text.
// lightBar: the light bar's whole block area as read, withdrawn bytes as "~".
// work: scratch space.
//
// Fails (newArea untouched, the job then erases) whenever the result could differ from the text
// asked for: lines the block parser would read differently (bytes 0x80..0xFE, lines over 99
// characters, a line that is only the start of "< end >" or holds it amid other text), a text
// that does not start with the title line, an end marker that is not exactly "< end >", text
// between the old end marker and the erased space, more than 500 lines, a free position past
// 4085, or any appended byte that would not land on 0xFF.
bool inPlaceUpdate(BlockArea& newArea, const BlockArea& lightBar, BlockArea& work);

} // namespace tessel
