// A private PulseAudio server with a null sink for tests that drive the real PortAudio path:
// started in a temporary runtime folder, stopped by its process id.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace dsptest {

class PulseServer {
public:
    PulseServer() = default;
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // False with the reason when the server cannot run on this machine.
    bool start(QString* whyNot);
    // For PULSE_SERVER: the server's socket.
    QString address() const;
    QString sinkName() const { return QStringLiteral("qvtestsink"); }
    // Plays a 16-bit stereo WAV file into the sink and waits until it is done.
    bool play(const QString& wavPath) const;

private:
    QTemporaryDir m_dir;
    qint64 m_pid = 0;
};

}  // namespace dsptest
