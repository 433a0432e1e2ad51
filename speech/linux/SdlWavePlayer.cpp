// SdlWavePlayer.cpp: finding and playing the game's sound effects.
#include "speech/linux/SdlWavePlayer.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <system_error>

#include "speech/linux/WaveFile.h"

namespace orvanta::speech {
namespace {

std::string Lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The file itself, or a file in the same folder whose name differs only in case.
std::optional<std::filesystem::path> ExistingFile(const std::filesystem::path& candidate) {
  std::error_code error;
  if (std::filesystem::is_regular_file(candidate, error)) {
    return candidate;
  }
  const std::filesystem::path folder =
      candidate.has_parent_path() ? candidate.parent_path() : std::filesystem::path(".");
  const std::string wanted = Lowercase(candidate.filename().string());
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (Lowercase(entry->path().filename().string()) == wanted && entry->is_regular_file(error)) {
      return candidate.has_parent_path() ? entry->path() : entry->path().filename();
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> FindSoundFile(std::string_view fileName,
                                                   const std::filesystem::path& dataFolder) {
  if (fileName.empty()) {
    return std::nullopt;
  }
  // Names written the Windows way ("folder\ZONTARY.WAV") are accepted too.
  std::string name(fileName);
  std::replace(name.begin(), name.end(), '\\', '/');
  const std::filesystem::path path(name);
  if (path.has_parent_path()) {
    return ExistingFile(path);
  }
  if (auto here = ExistingFile(path)) {
    return here;
  }
  if (dataFolder.empty()) {
    return std::nullopt;
  }
  return ExistingFile(dataFolder / path);
}

SdlWavePlayer::SdlWavePlayer(std::shared_ptr<AudioOutput> output, std::filesystem::path dataFolder,
                             NotificationRoute* screenReader)
    : output_(std::move(output)),
      dataFolder_(std::move(dataFolder)),
      screenReader_(screenReader),
      defaultSound_(std::make_shared<const Samples>(MakeDefaultBeep())) {}

std::shared_ptr<const Samples> SdlWavePlayer::SoundFor(std::string_view fileName) {
  const auto file = FindSoundFile(fileName, dataFolder_);
  if (!file) {
    return defaultSound_;
  }
  std::error_code error;
  const std::filesystem::path key = std::filesystem::absolute(*file, error);
  if (const auto cached = cache_.find(key); cached != cache_.end()) {
    return cached->second;
  }
  auto samples = LoadWave(*file);
  if (!samples) {
    return defaultSound_;  // unreadable: tried again next time, the file may be repaired
  }
  auto sound = std::make_shared<const Samples>(std::move(*samples));
  cache_.emplace(key, sound);
  return sound;
}

void SdlWavePlayer::PlaySound(std::string_view fileName, PlayMode mode) {
  if (!output_ || !output_->Available()) {
    return;
  }
  const ClipTicket ticket = output_->Play(AudioChannel::Effects, SoundFor(fileName));
  if (mode == PlayMode::Sync && ticket.id != 0) {
    // Never hold the window longer than the sound itself plus a small margin.
    const auto margin = std::chrono::milliseconds(250) + output_->BufferDuration();
    const auto limit = ticket.playsOutIn + margin;
    auto played = [this, &ticket] {
      return output_->WaitUntilPlayed(AudioChannel::Effects, ticket.id, {});
    };
    bool ended = false;
    if (screenReader_ != nullptr && screenReader_->AnswerUntil(played, limit)) {
      ended = played();
    } else {
      ended = output_->WaitUntilPlayed(AudioChannel::Effects, ticket.id, limit);
    }
    if (ended) {
      // The last buffer has been handed to the device; let it sound before going on.
      SDL_Delay(static_cast<std::uint32_t>(output_->BufferDuration().count()));
    }
  }
}

}  // namespace orvanta::speech
