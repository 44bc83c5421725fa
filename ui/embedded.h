// The bytes of ui/res/, compiled in by the build.
#pragma once

#include <cstddef>

extern const unsigned char kNomvaraIco[];
extern const std::size_t kNomvaraIcoSize;
extern const unsigned char kNomvaraIco2x[];
extern const std::size_t kNomvaraIco2xSize;
extern const unsigned char kHandCur[];
extern const std::size_t kHandCurSize;
extern const unsigned char kBannerBmp[];
extern const std::size_t kBannerBmpSize;
extern const unsigned char kBannerBmp2x[];
extern const std::size_t kBannerBmp2xSize;
