// FakeSsipServer.h: a speech-dispatcher stand-in for tests. It listens on a Unix socket, speaks
// enough SSIP for libspeechd, and records what the game asked for: each message's text and
// priority, and each cancel. It can also play a service that never answers, one that stops
// answering after a number of messages, and one that hangs up.
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvanta::speech::testing {

class FakeSsipServer {
 public:
  enum class Behaviour {
    Answer,       // a working service
    NeverAnswer,  // accepts the connection, then says nothing at all
    HangUp,       // closes the connection as soon as a message is sent
  };

  struct Event {
    std::string kind;  // "speak" or "cancel"
    std::string text;  // the message (speak) or the scope (cancel)
    std::string priority;
  };

  explicit FakeSsipServer(std::filesystem::path socketPath, Behaviour behaviour = Behaviour::Answer,
                          int answeredMessages = -1)
      : path_(std::move(socketPath)), behaviour_(behaviour), answeredMessages_(answeredMessages) {
    std::filesystem::remove(path_);
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = path_.string();
    std::copy(name.begin(), name.end(), address.sun_path);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::listen(listener_, 4);
    thread_ = std::thread([this] { Serve(); });
  }

  ~FakeSsipServer() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
    std::filesystem::remove(path_);
  }

  FakeSsipServer(const FakeSsipServer&) = delete;
  FakeSsipServer& operator=(const FakeSsipServer&) = delete;

  std::string Address() const { return "unix_socket:" + path_.string(); }

  std::vector<Event> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }

  // Waits until `count` events have arrived, at most `limit`.
  bool WaitForEvents(std::size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, limit, [&] { return events_.size() >= count; });
  }

 private:
  static std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
  }
  static std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
  }

  void Record(Event event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
    arrived_.notify_all();
  }

  static void Send(int client, const std::string& reply) {
    (void)!::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
  }

  // Reads lines until the client goes or the server stops. Returns false to drop the client.
  bool Handle(int client, const std::string& line) {
    if (receiving_) {
      if (line != ".") {
        // SSIP doubles a leading dot of a data line.
        data_.push_back(line.starts_with("..") ? line.substr(1) : line);
        return true;
      }
      receiving_ = false;
      std::string text;
      for (std::size_t i = 0; i < data_.size(); ++i) {
        text += (i > 0 ? "\n" : "") + data_[i];
      }
      data_.clear();
      Record({"speak", text, priority_});
      ++messages_;
      if (behaviour_ == Behaviour::HangUp) {
        return false;
      }
      if (answeredMessages_ >= 0 && messages_ > answeredMessages_) {
        silent_ = true;  // stops answering from here on, like a daemon stuck on its audio
        return true;
      }
      Send(client, "225-" + std::to_string(messages_) + "\r\n225 OK MESSAGE QUEUED\r\n");
      return true;
    }
    const std::string upper = Upper(line);
    if (upper == "SPEAK") {
      receiving_ = true;
      Send(client, "230 OK RECEIVING DATA\r\n");
    } else if (upper.starts_with("SET SELF PRIORITY ")) {
      priority_ = Lower(line.substr(18));  // SSIP is not case-sensitive
      Send(client, "202 OK PRIORITY SET\r\n");
    } else if (upper.starts_with("CANCEL ")) {
      Record({"cancel", line.substr(7), ""});
      Send(client, "210 OK CANCELED\r\n");
    } else if (upper == "QUIT") {
      Send(client, "231 HAPPY HACKING\r\n");
      return false;
    } else {
      Send(client, "208 OK\r\n");
    }
    return true;
  }

  void Serve() {
    while (!stop_) {
      pollfd waiting{listener_, POLLIN, 0};
      if (::poll(&waiting, 1, 20) <= 0) {
        continue;
      }
      const int client = ::accept(listener_, nullptr, nullptr);
      if (client < 0) {
        continue;
      }
      receiving_ = false;
      silent_ = behaviour_ == Behaviour::NeverAnswer;
      std::string buffer;
      bool open = true;
      while (open && !stop_) {
        pollfd reading{client, POLLIN, 0};
        if (::poll(&reading, 1, 20) <= 0) {
          continue;
        }
        char chunk[4096];
        const ssize_t got = ::recv(client, chunk, sizeof(chunk), 0);
        if (got <= 0) {
          break;
        }
        buffer.append(chunk, static_cast<std::size_t>(got));
        for (std::size_t end; open && (end = buffer.find("\r\n")) != std::string::npos;) {
          const std::string line = buffer.substr(0, end);
          buffer.erase(0, end + 2);
          if (silent_) {
            continue;  // reads everything, answers nothing
          }
          open = Handle(client, line);
        }
      }
      ::close(client);
    }
  }

  std::filesystem::path path_;
  Behaviour behaviour_;
  int answeredMessages_;
  int listener_ = -1;
  std::atomic<bool> stop_ = false;
  std::thread thread_;

  // Protocol state of the one client being served (touched by the server thread only).
  bool receiving_ = false;
  bool silent_ = false;
  std::vector<std::string> data_;
  std::string priority_ = "text";
  int messages_ = 0;

  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  std::vector<Event> events_;
};

}  // namespace orvanta::speech::testing
