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

template <class T>
T Read(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
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

// What a device that offers only 8-bit, 16-bit, 32-bit or float samples is
// given to play, read back as that device's format, and what the recorder
// makes of it again when the same device captures.
TEST(DeviceFormatTest, EveryOfferedSampleFormatCarriesFullScaleSamplesBothWays) {
    const std::vector<int16_t> samples = {0, 32767, -32768, 1000, -1000};
    struct Case {
        SampleKind kind;
        std::vector<double> played;  // each sample as the device reads it
        int tolerance;               // of the way back to 16 bits
    };
    const Case cases[] = {
        {SampleKind::uint8, {128, 255, 0, 131, 125}, 255},
        {SampleKind::int16, {0, 32767, -32768, 1000, -1000}, 0},
        {SampleKind::int32, {0, 32767.0 * 65536, -2147483648.0, 1000.0 * 65536, -1000.0 * 65536}, 0},
        {SampleKind::float32, {0, 32767 / 32768.0, -1, 1000 / 32768.0, -1000 / 32768.0}, 1},
    };
    for (const Case& c : cases) {
        for (const int channels : {1, 2}) {
            SCOPED_TRACE(testing::Message()
                         << "kind " << static_cast<int>(c.kind) << ", " << channels << " channel(s)");
            const PcmFormat format{8000, channels, c.kind};
            const QByteArray bytes = q5::media::ToDeviceFormat(samples.data(), 5, 8000, format);
            ASSERT_EQ(bytes.size(), 5 * format.BytesPerFrame());
            const int width = format.BytesPerFrame() / channels;
            for (int frame = 0; frame < 5; ++frame) {
                for (int channel = 0; channel < channels; ++channel) {
                    const char* at = bytes.constData() + (frame * channels + channel) * width;
                    double value = 0;
                    if (c.kind == SampleKind::uint8) value = static_cast<uint8_t>(*at);
                    if (c.kind == SampleKind::int16) value = Read<int16_t>(at);
                    if (c.kind == SampleKind::int32) value = Read<int32_t>(at);
                    if (c.kind == SampleKind::float32) value = Read<float>(at);
                    EXPECT_NEAR(value, c.played[static_cast<size_t>(frame)], 1e-6)
                        << "frame " << frame << ", channel " << channel;
                }
            }
            CaptureConverter back(format, 8000);
            std::vector<int16_t> recorded;
            back.Push(bytes.constData(), bytes.size(), recorded);
            ASSERT_EQ(recorded.size(), samples.size());
            for (size_t i = 0; i < samples.size(); ++i)
                EXPECT_NEAR(recorded[i], samples[i], c.tolerance) << "sample " << i;
        }
    }
}

}  // namespace
}  // namespace q5test
