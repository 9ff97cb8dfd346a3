// Sound files through libsndfile and the conversions between the
// recorder's samples and a device's format.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

#include "greetings/sample_convert.h"
#include "greetings/wav_file.h"

namespace q5test {
namespace {

using q5::media::CaptureConverter;
using q5::media::PcmFormat;
using q5::media::SampleKind;

TEST(WavFileTest, WrittenFileReadsBackAsEightKilohertzMonoSixteenBitWav) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tone.wav"));
    std::vector<int16_t> tone(12345);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(8000 * std::sin(static_cast<double>(i) / 5));
    q5::media::WavWriter writer;
    ASSERT_TRUE(writer.Open(path, 8000, nullptr));
    ASSERT_TRUE(writer.Write(tone.data(), 5000));
    ASSERT_TRUE(writer.Write(tone.data() + 5000, 7345));
    EXPECT_EQ(writer.frames(), 12345);
    ASSERT_TRUE(writer.Close());

    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.samplerate, 8000);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.frames, 12345);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::vector<int16_t> back(12345);
    EXPECT_EQ(sf_readf_short(file, back.data(), 12345), 12345);
    sf_close(file);
    EXPECT_EQ(back, tone);
}

TEST(WavFileTest, StereoFileIsReadAsTheMeanOfItsChannels) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stereo.wav"));
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    const int16_t frames[] = {100, 300, -1000, -2000, 32767, 32767};
    sf_writef_short(file, frames, 3);
    sf_close(file);
    q5::media::SoundData read;
    ASSERT_TRUE(q5::media::ReadSoundFile(path, read, nullptr));
    EXPECT_EQ(read.rate, 22050);
    EXPECT_EQ(read.samples, (std::vector<int16_t>{200, -1500, 32767}));
}

TEST(WavFileTest, MissingFileAndUnwritableFolderFailWithAReason) {
    q5::media::SoundData read;
    QString error;
    EXPECT_FALSE(q5::media::ReadSoundFile(QStringLiteral("/nonexistent/greet.wav"), read, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("greet.wav")));
    error.clear();
    EXPECT_FALSE(q5::media::WriteWavFile(QStringLiteral("/nonexistent/greet.wav"), 8000, {1, 2}, &error));
    EXPECT_FALSE(error.isEmpty());
}

QByteArray Bytes(const void* data, size_t size) {
    return QByteArray(static_cast<const char*>(data), static_cast<qsizetype>(size));
}

TEST(CaptureConverterTest, FortyEightKilohertzStereoFloatBecomesEightKilohertzMonoAverages) {
    // Six input frames per output sample; left and right differ.
    std::vector<float> input;
    for (int out = 0; out < 100; ++out) {
        for (int k = 0; k < 6; ++k) {
            input.push_back(0.25f);
            input.push_back(out % 2 ? 0.75f : -0.25f);
        }
    }
    CaptureConverter converter(PcmFormat{48000, 2, SampleKind::float32}, 8000);
    std::vector<int16_t> out;
    const QByteArray bytes = Bytes(input.data(), input.size() * sizeof(float));
    converter.Push(bytes.constData(), bytes.size(), out);
    ASSERT_EQ(out.size(), 100u);
    EXPECT_NEAR(out[0], 0, 1);
    EXPECT_NEAR(out[1], 16384, 1);
}

TEST(CaptureConverterTest, FramesSplitAcrossChunksAreNotLostOrShifted) {
    // 16 kHz mono 16-bit, delivered in odd-sized pieces.
    std::vector<int16_t> input;
    for (int i = 0; i < 1000; ++i) input.push_back(static_cast<int16_t>(i * 10));
    const QByteArray all = Bytes(input.data(), input.size() * 2);
    CaptureConverter whole(PcmFormat{16000, 1, SampleKind::int16}, 8000);
    std::vector<int16_t> expected;
    whole.Push(all.constData(), all.size(), expected);
    CaptureConverter pieces(PcmFormat{16000, 1, SampleKind::int16}, 8000);
    std::vector<int16_t> got;
    for (qsizetype at = 0; at < all.size(); at += 7) {
        pieces.Push(all.constData() + at, std::min<qsizetype>(7, all.size() - at), got);
    }
    ASSERT_EQ(expected.size(), 500u);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got[1], 25);  // mean of 20 and 30
}

TEST(CaptureConverterTest, UnsignedEightBitAndThirtyTwoBitSamplesAreScaledToSixteenBits) {
    const uint8_t u8[] = {128, 255, 0};
    CaptureConverter byte(PcmFormat{8000, 1, SampleKind::uint8}, 8000);
    std::vector<int16_t> out;
    byte.Push(reinterpret_cast<const char*>(u8), 3, out);
    EXPECT_EQ(out, (std::vector<int16_t>{0, 32512, -32768}));
    const int32_t i32[] = {65536 * 1000, -65536 * 2000};
    CaptureConverter wide(PcmFormat{8000, 1, SampleKind::int32}, 8000);
    out.clear();
    wide.Push(reinterpret_cast<const char*>(i32), sizeof i32, out);
    EXPECT_EQ(out, (std::vector<int16_t>{1000, -2000}));
}

TEST(CaptureConverterTest, SlowerInputIsHeldNotDropped) {
    const int16_t input[] = {10, 20};
    CaptureConverter converter(PcmFormat{4000, 1, SampleKind::int16}, 8000);
    std::vector<int16_t> out;
    converter.Push(reinterpret_cast<const char*>(input), sizeof input, out);
    EXPECT_EQ(out, (std::vector<int16_t>{10, 10, 20, 20}));
}

TEST(DeviceFormatTest, EightKilohertzMonoFillsEveryChannelAtTheDeviceRate) {
    const int16_t samples[] = {100, -200};
    const QByteArray bytes =
        q5::media::ToDeviceFormat(samples, 2, 8000, PcmFormat{48000, 2, SampleKind::int16});
    ASSERT_EQ(bytes.size(), 12 * 2 * 2);
    std::vector<int16_t> frames(24);
    std::memcpy(frames.data(), bytes.constData(), static_cast<size_t>(bytes.size()));
    EXPECT_EQ(frames[0], 100);
    EXPECT_EQ(frames[11], 100);
    EXPECT_EQ(frames[12], -200);
    EXPECT_EQ(frames[23], -200);
}

}  // namespace
}  // namespace q5test
