// Every texture of a G1T pack: tavro texture -o DIR/ and --index, g1t-to-dds --index.
#include "authoring/G1TWriter.h"
#include "tests/TempDirectory.h"
#include "tests/ToolProcess.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tavro {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::ToolRun;

TEST(TexturePack, EveryTextureIsWrittenAndEachCanBePickedByIndex) {
    testing::TempDirectory directory;
    // Three textures of different sizes, so each picture shows which one it came from.
    std::vector<authoring::G1TTexture> textures(3);
    for (std::uint8_t k = 0; k < 3; ++k) {
        textures[k].widthLog2 = static_cast<std::uint8_t>(k + 1);
        textures[k].heightLog2 = 1;
        textures[k].pixels.assign(std::size_t{4} << (k + 2), static_cast<std::uint8_t>(60 * k));
    }
    textures[2].format = g1t::kFormatBGRA8;
    const std::vector<std::uint8_t> packBytes = authoring::WriteG1T(textures);
    const fs::path packPath = directory.path / "hat.g1t";
    std::ofstream(packPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(packBytes.data()),
               static_cast<std::streamsize>(packBytes.size()));
    const std::string pack = packPath.string();
    const auto run = [&](const std::vector<std::string>& arguments) {
        return testing::RunTool(arguments, directory.path);
    };

    const fs::path all = directory.path / "all";
    const ToolRun every = run({"texture", pack, "-o", all.string() + "/"});
    ASSERT_EQ(every.exitCode, 0) << every.err;
    for (std::uint32_t k = 0; k < 3; ++k) {
        EXPECT_EQ(testing::PngSize(all / ("hat_" + std::to_string(k) + ".png")).first, 2u << k)
            << "texture " << k << "'s width";
    }

    const fs::path one = directory.path / "one";
    ASSERT_EQ(run({"texture", pack, "--index", "2", "-o", one.string() + "/"}).exitCode, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(one), fs::directory_iterator()), 1);
    EXPECT_EQ(testing::PngSize(one / "hat_2.png").first, 8u);

    const fs::path dds = directory.path / "second.dds";
    ASSERT_EQ(run({"g1t-to-dds", pack, "--index", "1", "-o", dds.string()}).exitCode, 0);
    const std::vector<std::uint8_t> image = ReadFileBytes(dds);
    ASSERT_EQ(image.size(), 128u + 4u * 2u * 4u);
    EXPECT_EQ(image[16], 4u) << "the DDS header's width is texture 1's";

    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"texture", pack, "--index", "3", "-o",
                                   (directory.path / "x.png").string()},
          std::vector<std::string>{"g1t-to-dds", pack, "--index", "3", "-o",
                                   (directory.path / "x.dds").string()}}) {
        testing::ExpectOneLineRefusal(run(arguments), "--index 3 is past the pack's 3 textures");
    }
}

} // namespace
} // namespace tavro
