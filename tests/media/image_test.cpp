// Loading pictures: the PNG and JPEG variants, the mask colour, damaged files, and drawing.

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

#include "media/display.h"
#include "media/image.h"
#include "support/headless_test.h"
#include "support/picture_writer.h"

namespace {

using media::Image;
using media::PixelFormat;
using test_support::Bytes;
using test_support::PngColour;
using test_support::PngPicture;

class ImageLoadTest : public HeadlessTest {
 protected:
  Image load(const Bytes& file, int flags = -1, const std::string& name = "picture") {
    scratch.write(name, file);
    return media::LoadImage(name, flags);
  }

  static media::TPixmap::Rgba at(const Image& image, int x, int y) {
    return image->pixmaps[0].rgba(x, y);
  }
};

void expect_rgba(media::TPixmap::Rgba p, int r, int g, int b, int a) {
  EXPECT_EQ(p.r, r);
  EXPECT_EQ(p.g, g);
  EXPECT_EQ(p.b, b);
  EXPECT_EQ(p.a, a);
}

constexpr std::uint8_t W = 255;

TEST_F(ImageLoadTest, MaskColourBecomesSeeThroughWithTheAverageOfSolidNeighbours) {
  // clang-format off
  const Bytes rgb = {
      W, W, W,    10, 20, 30,   W, W, W,
      40, 50, 60, W, W, W,      254, 255, 255,
      W, W, W,    1, 2, 3,      W, W, W,
  };
  // clang-format on
  media::SetMaskColor(255, 255, 255);
  Image image = load(test_support::encode_png(3, 3, 3, rgb), media::image_masked);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->pixmaps[0].format, PixelFormat::rgba8);
  EXPECT_EQ(image->mask_r, 255);
  expect_rgba(at(image, 0, 0), 25, 35, 45, 0);     // corner: only three neighbours exist
  expect_rgba(at(image, 1, 1), 76, 81, 87, 0);     // sums 305, 327, 348 over four, truncated
  expect_rgba(at(image, 2, 2), 127, 128, 129, 0);  // its masked neighbour does not count
  expect_rgba(at(image, 2, 1), 254, 255, 255, 255);
  expect_rgba(at(image, 1, 0), 10, 20, 30, 255);
}

TEST_F(ImageLoadTest, MaskPixelWithOnlyMaskNeighboursTurnsBlack) {
  const Bytes grey = {7, 7, 7, 9};
  media::SetMaskColor(7, 7, 7);
  Image image = load(test_support::encode_png(4, 1, 1, grey), media::image_masked);
  ASSERT_TRUE(image);
  expect_rgba(at(image, 0, 0), 0, 0, 0, 0);
  expect_rgba(at(image, 2, 0), 9, 9, 9, 0);
  expect_rgba(at(image, 3, 0), 9, 9, 9, 255);
}

// The mask applied pixel by pixel as it is meant: what the loader gives must match it everywhere.
media::TPixmap::Rgba masked_pixel(const Bytes& pixels, int channels, int width, int height, int x,
                                  int y, std::array<int, 3> mask) {
  auto colour = [&](int px, int py) {
    const unsigned char* p = &pixels[static_cast<std::size_t>((py * width + px) * channels)];
    return std::array<int, 3>{p[0], p[channels == 3 ? 1 : 0], p[channels == 3 ? 2 : 0]};
  };
  const std::array<int, 3> c = colour(x, y);
  if (c != mask) return {std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2]), 255};
  std::array<int, 3> sum{};
  int count = 0;
  for (int ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny) {
    for (int nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx) {
      const std::array<int, 3> n = colour(nx, ny);
      if (n == mask) continue;
      for (int i = 0; i < 3; ++i) sum[i] += n[i];
      ++count;
    }
  }
  if (count == 0) return {0, 0, 0, 0};
  return {std::uint8_t(sum[0] / count), std::uint8_t(sum[1] / count), std::uint8_t(sum[2] / count),
          0};
}

TEST_F(ImageLoadTest, MaskIsAppliedAlikeToEveryPixelOfWideRgbAndGreyPictures) {
  std::uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % 4);
  };
  const std::array<int, 3> mask = {200, 100, 50};
  media::SetMaskColor(mask[0], mask[1], mask[2]);
  for (const int channels : {3, 1}) {
    const int width = 9, height = 5;
    // Mostly the mask colour, or colours one step from it, so that edges and runs of it are many.
    Bytes pixels;
    for (int i = 0; i < width * height; ++i) {
      const int pick = next();
      for (int c = 0; c < channels; ++c) {
        const int base = channels == 1 ? 100 : mask[static_cast<std::size_t>(c)];
        pixels.push_back(static_cast<unsigned char>(pick == 0 ? base + 1 + 37 * c : base));
      }
    }
    const std::array<int, 3> grey_mask = {100, 100, 100};
    if (channels == 1) media::SetMaskColor(100, 100, 100);
    Image image =
        load(test_support::encode_png(width, height, channels, pixels), media::image_masked);
    ASSERT_TRUE(image);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        SCOPED_TRACE(std::to_string(channels) + " channels at " + std::to_string(x) + "," +
                     std::to_string(y));
        const auto want =
            masked_pixel(pixels, channels, width, height, x, y, channels == 1 ? grey_mask : mask);
        expect_rgba(at(image, x, y), want.r, want.g, want.b, want.a);
      }
    }
  }
}

TEST_F(ImageLoadTest, MaskIsOnlyAppliedWhenAskedForAndOnlyToPicturesWithoutAlpha) {
  media::SetMaskColor(255, 255, 255);
  const Bytes white_rgb = test_support::solid_pixels(2, 2, {W, W, W});
  Image plain = load(test_support::encode_png(2, 2, 3, white_rgb), media::image_filtered);
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->pixmaps[0].has_alpha());

  const Bytes white_rgba = test_support::solid_pixels(2, 2, {W, W, W, 77});
  Image own_alpha = load(test_support::encode_png(2, 2, 4, white_rgba), media::image_masked);
  ASSERT_TRUE(own_alpha);
  expect_rgba(at(own_alpha, 1, 1), 255, 255, 255, 77);
}

TEST_F(ImageLoadTest, AutoFlagsAndMaskColourApplyToLaterLoadsOnly) {
  const Bytes png = test_support::encode_png(1, 1, 3, {0, 0, 0});
  Image before = load(png);  // auto flags start masked, mask colour black
  ASSERT_TRUE(before);
  EXPECT_EQ(before->flags, media::image_masked | media::image_filtered);
  EXPECT_EQ(at(before, 0, 0).a, 0);

  media::AutoImageFlags(11);
  media::AutoImageFlags(-1);
  media::SetMaskColor(1, 2, 3);
  Image after = load(png);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->flags, 11);
  EXPECT_EQ(at(after, 0, 0).a, 255);
  EXPECT_EQ(at(before, 0, 0).a, 0);
}

TEST_F(ImageLoadTest, PngVariantsBecomeEightBitGreyRgbOrRgba) {
  PngPicture deep = test_support::png_picture(2, 1, PngColour::rgb, 16, {});
  deep.rows = {0x12, 0x12, 0x34, 0x34, 0xAB, 0xAB, 0, 0, 0xFF, 0xFF, 0x80, 0x80};
  Image rgb16 = load(test_support::encode_png(deep), 0);
  ASSERT_TRUE(rgb16);
  ASSERT_EQ(rgb16->pixmaps[0].format, PixelFormat::rgb8);
  expect_rgba(at(rgb16, 0, 0), 0x12, 0x34, 0xAB, 255);
  expect_rgba(at(rgb16, 1, 0), 0, 0xFF, 0x80, 255);

  PngPicture indexed = test_support::png_picture(3, 1, PngColour::palette, 2, {0b00011000});
  indexed.palette = {{{1, 2, 3}}, {{4, 5, 6}}, {{7, 8, 9}}};
  indexed.palette_alpha = {0, 128};
  Image palette = load(test_support::encode_png(indexed), media::image_masked);
  ASSERT_TRUE(palette);
  ASSERT_EQ(palette->pixmaps[0].format, PixelFormat::rgba8);
  expect_rgba(at(palette, 0, 0), 1, 2, 3, 0);
  expect_rgba(at(palette, 1, 0), 4, 5, 6, 128);
  expect_rgba(at(palette, 2, 0), 7, 8, 9, 255);  // beyond the tRNS entries: solid

  PngPicture grey_alpha = test_support::png_picture(1, 1, PngColour::grey_alpha, 8, {90, 33});
  Image ga = load(test_support::encode_png(grey_alpha), 0);
  ASSERT_TRUE(ga);
  ASSERT_EQ(ga->pixmaps[0].format, PixelFormat::rgba8);
  expect_rgba(at(ga, 0, 0), 90, 90, 90, 33);

  PngPicture keyed = test_support::png_picture(2, 1, PngColour::grey, 8, {50, 60});
  keyed.see_through = std::array<int, 3>{60, 0, 0};
  Image grey_trns = load(test_support::encode_png(keyed), 0);
  ASSERT_TRUE(grey_trns);
  expect_rgba(at(grey_trns, 0, 0), 50, 50, 50, 255);
  expect_rgba(at(grey_trns, 1, 0), 60, 60, 60, 0);
}

TEST_F(ImageLoadTest, LowBitDepthGreyIsScaledToFullRange) {
  struct Case {
    int depth;
    std::uint8_t packed;
    int first, second;
  };
  for (const Case& c :
       {Case{1, 0b10000000, 255, 0}, Case{2, 0b01100000, 85, 170}, Case{4, 0b00011111, 17, 255}}) {
    PngPicture p = test_support::png_picture(2, 1, PngColour::grey, c.depth, {c.packed});
    Image image = load(test_support::encode_png(p), 0);
    ASSERT_TRUE(image) << c.depth;
    ASSERT_EQ(image->pixmaps[0].format, PixelFormat::grey8);
    EXPECT_EQ(at(image, 0, 0).r, c.first) << c.depth;
    EXPECT_EQ(at(image, 1, 0).r, c.second) << c.depth;
  }
}

TEST_F(ImageLoadTest, InterlacedPngGivesTheSamePixels) {
  Bytes rgb;
  for (int i = 0; i < 9 * 9; ++i) rgb.insert(rgb.end(), {std::uint8_t(i), std::uint8_t(2 * i), 7});
  PngPicture p = test_support::png_picture(9, 9, PngColour::rgb, 8, rgb);
  p.interlaced = true;
  Image image = load(test_support::encode_png(p), 0);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixmaps[0].pixels, rgb);
}

TEST_F(ImageLoadTest, JpegGivesGreyOrRgbAndHonoursTheMask) {
  Bytes grey(16 * 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) grey[y * 16 + x] = x < 8 ? 255 : 100;
  media::SetMaskColor(255, 255, 255);
  Image masked = load(test_support::encode_jpeg(16, 8, 1, grey, 100), media::image_masked);
  ASSERT_TRUE(masked);
  EXPECT_EQ(masked->width, 16);
  EXPECT_EQ(at(masked, 0, 0).a, 0);
  EXPECT_EQ(at(masked, 0, 0).r, 0);  // nothing solid around it
  EXPECT_EQ(at(masked, 7, 3).a, 0);
  EXPECT_NEAR(at(masked, 7, 3).r, 100, 2);  // borrowed from the solid block beside it
  EXPECT_EQ(at(masked, 8, 3).a, 255);

  Image plain = load(test_support::encode_jpeg(16, 8, 1, grey, 100), 0);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->pixmaps[0].format, PixelFormat::grey8);

  const Bytes red = test_support::solid_pixels(16, 16, {200, 30, 40});
  Image colour = load(test_support::encode_jpeg(16, 16, 3, red), 0);
  ASSERT_TRUE(colour);
  ASSERT_EQ(colour->pixmaps[0].format, PixelFormat::rgb8);
  const auto p = at(colour, 5, 5);
  EXPECT_NEAR(p.r, 200, 3);
  EXPECT_NEAR(p.g, 30, 3);
  EXPECT_NEAR(p.b, 40, 3);
}

TEST_F(ImageLoadTest, FormatIsTakenFromTheContentAndGamePathsAreMapped) {
  const Bytes grey = test_support::solid_pixels(8, 8, {128});
  scratch.write("data/graphics/ground.png", test_support::encode_jpeg(8, 8, 1, grey));
  Image image = media::LoadImage("Data\\Graphics\\Ground.png", 0);
  ASSERT_TRUE(image);
  EXPECT_EQ(media::ImageWidth(image), 8);
  EXPECT_EQ(media::ImageHeight(image), 8);
}

// A PNG's header chunk with a new size and a CRC that matches it.
Bytes with_png_size(Bytes png, std::uint32_t width, std::uint32_t height) {
  auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
  };
  put(16, width);
  put(20, height);
  put(29, static_cast<std::uint32_t>(crc32(0, png.data() + 12, 17)));
  return png;
}

// A baseline JPEG's frame header with a new size.
Bytes with_jpeg_size(Bytes jpeg, std::uint16_t width, std::uint16_t height) {
  for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
      jpeg[i + 6] = static_cast<std::uint8_t>(height);
      jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
      jpeg[i + 8] = static_cast<std::uint8_t>(width);
      break;
    }
  }
  return jpeg;
}

TEST_F(ImageLoadTest, DamagedOrForeignFilesGiveNone) {
  const Bytes pixels = test_support::solid_pixels(32, 32, {10, 200, 30});
  const Bytes png = test_support::encode_png(32, 32, 3, pixels);
  const Bytes jpeg = test_support::encode_jpeg(32, 32, 3, pixels);

  EXPECT_FALSE(load(Bytes(png.begin(), png.begin() + png.size() / 2)));
  EXPECT_FALSE(load(Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2)));
  EXPECT_FALSE(load(Bytes(png.begin(), png.begin() + 8)));
  EXPECT_FALSE(load(Bytes(jpeg.begin(), jpeg.begin() + 3)));

  Bytes bad_png = png;
  for (std::size_t i = 44; i < bad_png.size() - 12; ++i) bad_png[i] ^= 0x5A;
  EXPECT_FALSE(load(bad_png));
  Bytes bad_jpeg = jpeg;
  for (std::size_t i = bad_jpeg.size() / 2; i < bad_jpeg.size() - 2; ++i) bad_jpeg[i] = 0xFF;
  EXPECT_FALSE(load(bad_jpeg));

  const Bytes cmyk = test_support::solid_pixels(8, 8, {0, 0, 0, 0});
  EXPECT_FALSE(load(test_support::encode_jpeg(8, 8, 4, cmyk)));  // no printer's inks here

  const std::string words = "not a picture at all";
  const Bytes text(words.begin(), words.end());
  EXPECT_FALSE(load(text));
}

TEST_F(ImageLoadTest, AbsurdSizesAreRefusedBeforeDecoding) {
  const Bytes pixels = test_support::solid_pixels(8, 8, {1, 2, 3});
  const Bytes png = test_support::encode_png(8, 8, 3, pixels);
  EXPECT_FALSE(load(with_png_size(png, 100000, 100000)));
  EXPECT_FALSE(load(with_png_size(png, 16000, 16000)));  // each side fine, too many pixels
  EXPECT_TRUE(load(with_png_size(png, 8, 8)));

  const Bytes jpeg = test_support::encode_jpeg(8, 8, 3, pixels);
  EXPECT_FALSE(load(with_jpeg_size(jpeg, 65000, 65000)));
  EXPECT_TRUE(load(with_jpeg_size(jpeg, 8, 8)));
}

TEST_F(ImageLoadTest, ProgressiveJpegWithEndlessScansIsRefused) {
  Bytes grey(32 * 32);
  for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<std::uint8_t>(i * 5);
  Image few = load(test_support::encode_progressive_grey_jpeg(32, 32, grey, 5));  // 384 scans
  ASSERT_TRUE(few);
  EXPECT_NEAR(at(few, 3, 0).r, 15, 4);
  EXPECT_FALSE(load(test_support::encode_progressive_grey_jpeg(32, 32, grey, 10)));  // 704
}

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"), or none where there is no such file.
std::optional<long> memory_status_kib(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  }
  return std::nullopt;
}

// The most memory this process has held at once, in KiB, since its peak was last set back to
// its current size; none where the system cannot set it back.
class PeakMemory {
 public:
  PeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    if (clear) start_ = memory_status_kib("VmRSS");
  }
  std::optional<long> growth_kib() const {
    const std::optional<long> peak = memory_status_kib("VmHWM");
    if (!start_ || !peak) return std::nullopt;
    return *peak - *start_;
  }

 private:
  std::optional<long> start_;
};

// A PNG that ends right after an optional chunk's header declaring a gigabyte of data.
Bytes png_declaring_huge_chunk(const char* type) {
  const Bytes whole = test_support::encode_png(1, 1, 3, {1, 2, 3});
  Bytes png(whole.begin(), whole.begin() + 33);  // signature and header chunk
  // Byte by byte: GCC 12 at -O3 misreads a range insert here as reaching past the buffer.
  const char text[] = "Comment\0Hedgerow";
  for (unsigned char b : {0x40, 0, 0, 0}) png.push_back(b);
  for (int i = 0; i < 4; ++i) png.push_back(static_cast<unsigned char>(type[i]));
  for (std::size_t i = 0; i + 1 < sizeof text; ++i)
    png.push_back(static_cast<unsigned char>(text[i]));
  return png;
}

TEST_F(ImageLoadTest, PngDeclaringAHugeOptionalChunkIsRefusedWithoutReservingIt) {
  for (const char* type : {"tEXt", "zTXt", "iTXt", "iCCP", "pCAL", "sCAL", "sPLT", "eXIf"}) {
    SCOPED_TRACE(type);
    const Bytes png = png_declaring_huge_chunk(type);
    const PeakMemory peak;
    EXPECT_FALSE(load(png));
    if (const std::optional<long> growth = peak.growth_kib()) {
      EXPECT_LT(*growth, 64 * 1024);
    }
  }
}

TEST_F(ImageLoadTest, NoneImagesAreHarmless) {
  EXPECT_EQ(media::ImageWidth(nullptr), 0);
  EXPECT_EQ(media::ImageHeight(nullptr), 0);
  media::MidHandleImage(nullptr);
  media::Graphics(1024, 768, 0, 0, 0);
  media::DrawImage(nullptr, 10, 10);
  EXPECT_TRUE(hb.draws_since_present().empty());
  EXPECT_FALSE(media::image_from_pixmap(media::TPixmap(), 0));
}

// Drawing, read back from the headless frame.
class ImageDrawTest : public HeadlessTest {
 protected:
  void SetUp() override { media::Graphics(1024, 768, 0, 0, 0); }

  static Image solid(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    media::TPixmap p(w, h, PixelFormat::rgba8);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        std::uint8_t* px = p.row(y) + 4 * x;
        px[0] = r, px[1] = g, px[2] = b, px[3] = 255;
      }
    return media::image_from_pixmap(std::move(p), 0);
  }

  bool lit(int x, int y) const { return (hb.back_buffer_pixel(x, y) & 0xFFFFFF) != 0; }
};

TEST_F(ImageDrawTest, MidHandledImageIsCentredOnThePosition) {
  Image image = solid(64, 48, 255, 255, 255);
  media::MidHandleImage(image);
  EXPECT_EQ(image->handle_x, 32.0f);
  EXPECT_EQ(image->handle_y, 24.0f);
  media::DrawImage(image, 100, 100);
  EXPECT_TRUE(lit(68, 76));
  EXPECT_TRUE(lit(131, 123));
  EXPECT_FALSE(lit(67, 100));
  EXPECT_FALSE(lit(132, 100));
  EXPECT_FALSE(lit(100, 75));
  EXPECT_FALSE(lit(100, 124));
}

TEST_F(ImageDrawTest, ColourAndAlphaModulateThePicture) {
  media::SetBlend(3);
  Image image = solid(4, 4, 200, 100, 50);
  media::SetColor(255, 128, 0);
  media::DrawImage(image, 10, 10);
  const std::uint32_t tinted = hb.back_buffer_pixel(11, 11);
  EXPECT_NEAR((tinted >> 16) & 0xFF, 200, 2);
  EXPECT_NEAR((tinted >> 8) & 0xFF, 50, 2);
  EXPECT_EQ(tinted & 0xFF, 0u);

  media::SetColor(255, 255, 255);
  media::SetAlpha(0.5f);
  media::DrawImage(image, 20, 10);
  const std::uint32_t half = hb.back_buffer_pixel(21, 11);
  EXPECT_NEAR((half >> 16) & 0xFF, 100, 2);
  EXPECT_NEAR((half >> 8) & 0xFF, 50, 2);
  EXPECT_NEAR(half & 0xFF, 25, 2);
}

}  // namespace
