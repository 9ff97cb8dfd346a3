// The machine's default sound input and output through Qt Multimedia
// (QAudioSource and QAudioSink on the platform's sound server).
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>

#include <memory>
#include <vector>

#include "greetings/audio_device.h"
#include "greetings/sample_convert.h"

namespace q5::media {

namespace {

bool ToPcmFormat(const QAudioFormat& format, PcmFormat& out) {
    out.rate = format.sampleRate();
    out.channels = format.channelCount();
    switch (format.sampleFormat()) {
        case QAudioFormat::UInt8:
            out.kind = SampleKind::uint8;
            break;
        case QAudioFormat::Int16:
            out.kind = SampleKind::int16;
            break;
        case QAudioFormat::Int32:
            out.kind = SampleKind::int32;
            break;
        case QAudioFormat::Float:
            out.kind = SampleKind::float32;
            break;
        default:
            return false;
    }
    return out.rate > 0 && out.channels > 0;
}

// The format to use on `device`: mono 16-bit at `rate` when it takes that,
// else the device's own.
QAudioFormat FormatFor(const QAudioDevice& device, int rate) {
    QAudioFormat wanted;
    wanted.setSampleRate(rate);
    wanted.setChannelCount(1);
    wanted.setSampleFormat(QAudioFormat::Int16);
    if (device.isFormatSupported(wanted)) return wanted;
    return device.preferredFormat();
}

class QtAudioDevice final : public QObject, public AudioDevice {
public:
    bool StartCapture(int rate, QString* error) override {
        StopCapture();
        const QAudioDevice input = QMediaDevices::defaultAudioInput();
        if (input.isNull())
            return Fail(error,
                        QCoreApplication::translate("AudioDevice", "No audio input device is available"));
        const QAudioFormat format = FormatFor(input, rate);
        PcmFormat pcm;
        if (!ToPcmFormat(format, pcm))
            return Fail(error, QCoreApplication::translate("AudioDevice",
                                                           "The audio input device offers no usable format"));
        converter_ = std::make_unique<CaptureConverter>(pcm, rate);
        source_ = std::make_unique<QAudioSource>(input, format);
        source_->setBufferSize(pcm.BytesPerFrame() * pcm.rate / 5);
        QIODevice* stream = source_->start();
        if (!stream || source_->error() != QAudio::NoError) {
            source_.reset();
            return Fail(error, QCoreApplication::translate("AudioDevice",
                                                           "The audio input device could not be started"));
        }
        QObject::connect(stream, &QIODevice::readyRead, this, [this, stream] { Drain(stream); });
        QObject::connect(source_.get(), &QAudioSource::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::StoppedState && source_ && source_->error() != QAudio::NoError) {
                // Not from inside the source's own signal: it goes with StopCapture.
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (!source_) return;
                        StopCapture();
                        if (listener_)
                            listener_->DeviceFailed(
                                QCoreApplication::translate("AudioDevice", "The audio input device stopped"));
                    },
                    Qt::QueuedConnection);
            }
        });
        return true;
    }

    void StopCapture() override {
        if (!source_) return;
        std::unique_ptr<QAudioSource> source = std::move(source_);
        source->disconnect(this);
        source->stop();
        converter_.reset();
    }

    bool StartPlayback(const int16_t* samples, int64_t count, int rate, QString* error) override {
        StopPlayback();
        const QAudioDevice output = QMediaDevices::defaultAudioOutput();
        if (output.isNull())
            return Fail(error,
                        QCoreApplication::translate("AudioDevice", "No audio output device is available"));
        const QAudioFormat format = FormatFor(output, rate);
        PcmFormat pcm;
        if (!ToPcmFormat(format, pcm))
            return Fail(error, QCoreApplication::translate(
                                   "AudioDevice", "The audio output device offers no usable format"));
        rate_ = rate;
        buffer_ = std::make_unique<QBuffer>();
        buffer_->setData(ToDeviceFormat(samples, count, rate, pcm));
        buffer_->open(QIODevice::ReadOnly);
        sink_ = std::make_unique<QAudioSink>(output, format);
        QObject::connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (!sink_) return;
            // Idle once the whole buffer went out (the sink may call that an
            // underrun); idle in the middle is only a late feed.
            if (state == QAudio::IdleState && buffer_ && buffer_->atEnd()) {
                // Tell the control from the event loop, not from inside the sink.
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (sink_ && listener_) listener_->PlaybackFinished();
                    },
                    Qt::QueuedConnection);
            } else if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError &&
                       sink_->error() != QAudio::UnderrunError) {
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (!sink_) return;
                        StopPlayback();
                        if (listener_)
                            listener_->DeviceFailed(QCoreApplication::translate(
                                "AudioDevice", "The audio output device stopped"));
                    },
                    Qt::QueuedConnection);
            }
        });
        sink_->start(buffer_.get());
        if (sink_->error() != QAudio::NoError) {
            StopPlayback();
            return Fail(error, QCoreApplication::translate("AudioDevice",
                                                           "The audio output device could not be started"));
        }
        return true;
    }

    void StopPlayback() override {
        if (!sink_) return;
        std::unique_ptr<QAudioSink> sink = std::move(sink_);
        sink->disconnect(this);
        sink->stop();
        buffer_.reset();
    }

    int64_t PlayedFrames() const override {
        if (!sink_) return 0;
        return sink_->processedUSecs() * rate_ / 1000000;
    }

    ~QtAudioDevice() override {
        StopCapture();
        StopPlayback();
    }

private:
    static bool Fail(QString* error, const QString& text) {
        if (error) *error = text;
        return false;
    }

    void Drain(QIODevice* stream) {
        if (!source_ || !converter_) return;
        const QByteArray bytes = stream->readAll();
        if (bytes.isEmpty()) return;
        std::vector<int16_t> samples;
        converter_->Push(bytes.constData(), bytes.size(), samples);
        if (!samples.empty() && listener_)
            listener_->CapturedSamples(samples.data(), static_cast<int64_t>(samples.size()));
    }

    std::unique_ptr<QAudioSource> source_;
    std::unique_ptr<CaptureConverter> converter_;
    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<QBuffer> buffer_;
    int rate_ = 8000;
};

}  // namespace

std::unique_ptr<AudioDevice> CreateSystemAudioDevice() {
    return std::make_unique<QtAudioDevice>();
}

}  // namespace q5::media
