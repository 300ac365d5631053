// The library's process-wide state: live channels and devices by handle, the per-thread selected
// device, the decoding thread that keeps every playing channel's buffer full, and the keeper
// thread that notices a real device's output stopping and opens it again.
#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "audiolib/audiolib.h"
#include "audiolib/channel.h"
#include "audiolib/device.h"

namespace audiolib {

class TempoSource;

class Library {
public:
    static Library& instance();

    std::shared_ptr<Channel> channel(Handle h);
    // The channel that owns an effect, DSP or sync handle.
    std::shared_ptr<Channel> channelOfFx(std::uint32_t fx);
    void registerFx(std::uint32_t fx, Handle channel);
    void unregisterFx(std::uint32_t fx);

    // The calling thread's device (selected, else the last initialised); null with *error set.
    std::shared_ptr<Device> selectedDevice(int* error);
    std::shared_ptr<Device> device(int number);

    bool initDevice(int number, int rateHz, platform::WindowHandle window, int* error);
    bool deviceStatus(int number, DeviceStatus* status, int* error);
    bool freeDevice(int* error);
    bool selectDevice(int number, int* error);
    int selectedNumber();

    Handle addChannel(std::unique_ptr<Source> source, std::uint32_t flags, int* error,
                      std::shared_ptr<Channel> tempoInput = nullptr, TempoSource* tempo = nullptr);
    bool freeChannel(Handle h);
    TempoSource* tempoSource(Handle h);

    void setBpm(Handle h, float bpm);
    float bpm(Handle h, bool* known);
    void forgetBpm(Handle h);

    void wakeFeeder();
    std::atomic<bool> manualClock{false};

private:
    Library();
    ~Library() = delete;  // lives until the process ends; threads are stopped at exit
    void feederLoop();
    void shutdownAtExit();
    void keeperLoop();
    // One try to open each waiting device's output; the system's list is read again first when
    // reread is set (no output of ours is open).
    void reopenOutputs(const std::vector<std::shared_ptr<Device>>& waiting,
                       const std::vector<std::shared_ptr<Device>>& all, bool reread);
    // The open device (other than self) that plays to endpoint, 0 when none.
    static int sameOutputAs(const std::string& endpoint, const Device* self,
                            const std::vector<std::shared_ptr<Device>>& devices);
    std::vector<std::shared_ptr<Device>> realDevices();

    std::mutex m_mutex;
    std::unordered_map<Handle, std::shared_ptr<Channel>> m_channels;
    std::unordered_map<std::uint32_t, Handle> m_fxOwner;
    std::unordered_map<Handle, TempoSource*> m_tempo;
    std::unordered_map<Handle, float> m_bpm;
    std::map<int, std::shared_ptr<Device>> m_devices;
    std::vector<std::shared_ptr<Device>> m_keptDevices;  // freed from their own sync thread
    int m_lastInit = -1;
    bool m_wavUsed = false;

    std::mutex m_feederMutex;
    std::condition_variable m_feederWake;
    bool m_feederStop = false;
    bool m_feederKick = false;
    std::thread m_feeder;

    std::mutex m_keeperMutex;
    std::condition_variable m_keeperWake;
    bool m_keeperStop = false;
    std::thread m_keeper;  // started with the first real device
};

}  // namespace audiolib
