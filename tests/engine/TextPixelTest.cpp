// Text on the real GL device, headless: a red run and a plain run read back
// from the back buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/text/FontList.h"
#include "platform/GfxGlDevice.h"

using namespace platform;

TEST(TextPixels, RedRunThenPlainRunOnTheGlDevice) {
  CErrorReport report;
  GfxPresentParameters params;
  params.backBufferWidth = 256;
  params.backBufferHeight = 64;
  auto device = CGfxGlDevice::CreateHeadless(params);
  ASSERT_NE(device, nullptr) << "no headless GL (EGL on Mesa) available";
  device->SetRenderState(RS_LIGHTING, 0);
  device->SetRenderState(RS_ZENABLE, 0);
  device->SetRenderState(RS_CULLMODE, CULL_NONE);

  CFontList fonts;
  ASSERT_EQ(fonts.Textures().CreateTextTextures(device.get()), 1)
      << report.Text();
  FontFile file;
  ASSERT_EQ(CFontFileLocator().Locate("NanumGothic.ttf", 0, &file), 1)
      << report.Text();
  auto created = std::make_unique<CFreeTypeFont>();
  ASSERT_EQ(created->Create(CFreeTypeFont::OUTLINE_NONE, 24, std::move(file), 0,
                            0, 0, 0, 0, 0),
            1)
      << report.Text();
  CFreeTypeFont *font = fonts.Add(std::move(created));

  // Three black squares (the code page's 0xA1E1) a run: large saturated shapes.
  const std::string squares = "\xA1\xE1\xA1\xE1\xA1\xE1";
  TextSize run;
  ASSERT_EQ(font->MeasureText(squares, &run), 1);
  ASSERT_LE(2 * run.width, 256);

  ASSERT_EQ(device->Clear(0, nullptr, CLEAR_TARGET, 0xFF000000, 1, 0), GFX_OK);
  ASSERT_EQ(device->BeginScene(), GFX_OK);
  font->RenderText(0, 0, 0xFFFFFFFF, "</C=ff0000>" + squares + "</>" + squares);
  ASSERT_EQ(device->EndScene(), GFX_OK);

  CGfxSurface *back = nullptr;
  ASSERT_EQ(device->GetBackBuffer(0, 0, &back), GFX_OK);
  std::vector<uint32_t> pixels;
  ASSERT_EQ(device->ReadSurface(back, &pixels), GFX_OK);
  back->Release();
  ASSERT_EQ(pixels.size(), 256u * 64u);

  auto channel = [](uint32_t argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
  };
  auto isRed = [&](uint32_t p) {
    return channel(p, 16) > 200 && channel(p, 8) < 50 && channel(p, 0) < 50;
  };
  auto isWhite = [&](uint32_t p) {
    return channel(p, 16) > 200 && channel(p, 8) > 200 && channel(p, 0) > 200;
  };
  int red[2] = {0, 0}, white[2] = {0, 0};
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 2 * run.width; ++x) {
      uint32_t p =
          pixels[static_cast<size_t>(y) * 256 + static_cast<size_t>(x)];
      int half = x < run.width ? 0 : 1;
      red[half] += isRed(p);
      white[half] += isWhite(p);
    }
  }
  int area = run.width * run.height;
  EXPECT_GT(red[0], area / 4) << "the red run";
  EXPECT_EQ(white[0], 0);
  EXPECT_GT(white[1], area / 4)
      << "the plain run, starting where the red one ends";
  EXPECT_EQ(red[1], 0);
}
