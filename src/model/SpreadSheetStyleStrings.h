#pragma once

#include "resources/ResourceString.h"

namespace quorvel {

// Texts of the style cache.
inline constexpr ResourceString sErrorInvalidFormatCodeID{ "sErrorInvalidFormatCodeID",
    "The \"%d\" format code ID is invalid" };

} // namespace quorvel
