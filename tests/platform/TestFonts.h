#pragma once

#include <memory>
#include <string>

#include "platform/ResolvedFont.h"

namespace orlit {

// A font of the given face, height (negative: character height), weight and escapement.
inline std::shared_ptr<const ResolvedFont> MakeFont(const std::string& face, int height,
                                                    int weight = FW_NORMAL, int escapement = 0) {
  LOGFONT lf;
  lf.lfFaceName = face;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfEscapement = escapement;
  return ResolvedFont::Create(lf);
}

}  // namespace orlit
