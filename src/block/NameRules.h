#pragma once

#include <string_view>

namespace tessel {

// Whether a product or scale name reads back from a light bar's block exactly as it was written.
// A reader keeps only what follows the last blank or colon before a line's final character, so
// a blank or ":" anywhere but at the end of a name cuts it ("LB 3000" reads back "3000"). A name
// of blanks only is the "no name" value and passes.
bool readsBackUnchanged(std::string_view name);

} // namespace tessel
