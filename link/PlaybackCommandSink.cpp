#include "link/PlaybackCommandSink.h"

#include "link/SettingsSnapshot.h"

PlaybackCommandSink::PlaybackCommandSink(const ResourceReader* resources,
                                         DemoPlayback::Deliver deliver,
                                         DemoPlayback::PacketLength packetLength,
                                         PresetTrigger presetTrigger)
    : resources_(resources),
      deliver_(std::move(deliver)),
      packetLength_(std::move(packetLength)),
      presetTrigger_(std::move(presetTrigger)),
      playback_(resources) {}

bool PlaybackCommandSink::ready(const SettingsSnapshot& settings) {
    prefix_ = DemoPlayback::prefix(settings.demo.hardware);
    return resources_ != nullptr && !prefix_.empty();
}

bool PlaybackCommandSink::send(std::vector<uint8_t>, int kind) {
    switch (kind) {
        case kDiscoveryKind:
            return playback_.playFile(prefix_ + "discover.bin", deliver_);
        case kSettingsKind:
            playback_.reset();
            return playback_.playFile(prefix_ + "settings.bin", deliver_);
        default:
            return false;
    }
}

void PlaybackCommandSink::stream(uint64_t now, const SettingsSnapshot& s) {
    if (!s.spectrumMode) {
        playback_.playPower(s.demo, now, SettingsSnapshot::milliseconds(s.powerInterval), deliver_);
        return;
    }
    if (s.band == 0) {
        playback_.playSpectrum(s.demo, 0, now, SettingsSnapshot::milliseconds(s.spectrumInterval24),
                               deliver_);
    } else if (s.band == 1) {
        playback_.playSpectrum(s.demo, 1, now, SettingsSnapshot::milliseconds(s.spectrumInterval5),
                               deliver_);
    }
    if (s.ssidScanOn && s.demo.signalType == 1 && s.demo.wifiSsid) {
        playback_.playAccessPoints(s.demo, now, static_cast<double>(s.scanFirstDelay) * 1000.0,
                                   static_cast<double>(s.scanRepeatInterval) * 1000.0,
                                   packetLength_, deliver_);
    }
}

void PlaybackCommandSink::identified(const SettingsSnapshot& settings) {
    if (presetTrigger_) {
        presetTrigger_(settings.demo.hardware);
    }
}
