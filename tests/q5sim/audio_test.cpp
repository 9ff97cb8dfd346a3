// Voice conversions through libsndfile.
#include "audio.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

namespace q5sim {
namespace {

namespace fs = std::filesystem;

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir_template[] = "/tmp/q5sim-audio-XXXXXX";
        ASSERT_NE(mkdtemp(dir_template), nullptr);
        dir_ = dir_template;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    // Writes a WAV of `channels` channels holding a 300 Hz tone.
    void WriteTone(const fs::path& path, int rate, int channels, double seconds) {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        const auto frames = static_cast<std::size_t>(rate * seconds);
        std::vector<short> data(frames * static_cast<std::size_t>(channels));
        for (std::size_t i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                data[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                    static_cast<short>(10000 *
                                       std::sin(2 * 3.14159265 * 300 * static_cast<double>(i) / rate));
            }
        }
        sf_writef_short(file, data.data(), static_cast<sf_count_t>(frames));
        sf_close(file);
    }
    SF_INFO Info(const fs::path& path) {
        SF_INFO info{};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        if (file) sf_close(file);
        return info;
    }
    fs::path dir_;
};

TEST_F(AudioTest, WavToVoxAndBackKeepsLengthRateAndFormat) {
    WriteTone(dir_ / "in.wav", 8000, 1, 2.0);
    std::string error;
    ASSERT_TRUE(WavToVox(dir_ / "in.wav", dir_ / "v.vox", error)) << error;
    EXPECT_EQ(fs::file_size(dir_ / "v.vox"), 8000u) << "two samples per byte";
    ASSERT_TRUE(VoxToWav(dir_ / "v.vox", dir_ / "out.wav", error)) << error;
    const SF_INFO info = Info(dir_ / "out.wav");
    EXPECT_EQ(info.samplerate, 8000);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(info.frames, 16000);
}

TEST_F(AudioTest, OddSampleCountStillConvertsToVox) {
    // 8001 samples: VOX stores two per byte, so the last one needs padding.
    WriteTone(dir_ / "odd.wav", 8000, 1, 8001.5 / 8000.0);
    ASSERT_EQ(Info(dir_ / "odd.wav").frames, 8001);
    std::string error;
    ASSERT_TRUE(WavToVox(dir_ / "odd.wav", dir_ / "odd.vox", error)) << error;
    EXPECT_EQ(fs::file_size(dir_ / "odd.vox"), 4001u);
}

TEST_F(AudioTest, StereoAtAnotherRateIsMixedAndResampledToTheVoiceRate) {
    WriteTone(dir_ / "cd.wav", 44100, 2, 1.0);
    std::string error;
    ASSERT_TRUE(WavToVox(dir_ / "cd.wav", dir_ / "v.vox", error)) << error;
    EXPECT_NEAR(static_cast<double>(fs::file_size(dir_ / "v.vox")), 4000.0, 2.0);
}

TEST_F(AudioTest, SomethingThatIsNoSoundFileFailsAndLeavesNoTarget) {
    std::ofstream(dir_ / "junk.wav") << "plain text, no RIFF header";
    std::string error;
    EXPECT_FALSE(WavToVox(dir_ / "junk.wav", dir_ / "junk.vox", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(dir_ / "junk.vox"));
    EXPECT_FALSE(VoxToWav(dir_ / "missing.vox", dir_ / "m.wav", error));
    EXPECT_FALSE(fs::exists(dir_ / "m.wav"));
}

TEST_F(AudioTest, ConversionOverAnExistingTargetReplacesItWhole) {
    std::ofstream(dir_ / "out.wav") << std::string(100000, 'x');
    std::string error;
    ASSERT_TRUE(WriteSyntheticVox(dir_ / "s.vox", 0.5, 1, error)) << error;
    ASSERT_TRUE(VoxToWav(dir_ / "s.vox", dir_ / "out.wav", error)) << error;
    EXPECT_EQ(Info(dir_ / "out.wav").frames, 4000);
    EXPECT_LT(fs::file_size(dir_ / "out.wav"), 9000u);
}

}  // namespace
}  // namespace q5sim
