#pragma once
// Serves the simulated camera on a serial line: a new pseudo-terminal (the program opens its
// slave as if it were the camera's port) or a real serial device. On a pty the server reads
// the baud rate the program set, hears nothing at any other rate than the camera's, and paces
// each reply by the wire time of its characters, as a real line would.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "sim/camera.h"

namespace sim {

struct ServerOptions {
  bool pace = true;  // pace commands and replies by their wire time (pty only; a device paces itself)
  // Receives one line per command received and per transmission sent, e.g. "12.345 RX 00 01".
  std::function<void(const std::string&)> log;
};

class SerialServer {
 public:
  // A server on a new pty; throws std::runtime_error with the reason when none can be made.
  static std::unique_ptr<SerialServer> OnNewPty(Camera& camera, ServerOptions options = {});
  // A server on the serial device at `path`, set to the camera's baud rate, 8 data bits, no
  // parity, 2 stop bits; throws std::runtime_error with the reason.
  static std::unique_ptr<SerialServer> OnDevice(Camera& camera, const std::string& path, ServerOptions options = {});
  ~SerialServer();
  SerialServer(const SerialServer&) = delete;
  SerialServer& operator=(const SerialServer&) = delete;

  // The path the program opens: the pty's slave, or the device.
  const std::string& Path() const { return path_; }

  // Serves in the calling thread until RequestStop() or until the line is lost; returns ""
  // after a stop, else the reason the line was lost.
  std::string Run();
  // Serves in a thread of its own.
  void Start();
  // Asks the serving loop to end (safe from a signal handler) and, for Start(), waits for it.
  void RequestStop();
  void Stop();

  // Runs `f` on the camera while the serving loop keeps its hands off it.
  template <class F>
  auto WithCamera(F&& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(camera_);
  }

  // Pulls the plug: closes the pty's master, so the program's side is hung up and the slave's
  // path is gone; the pty's number is not reused while the server lives. Stops serving.
  void Unplug();

  // The baud rate the program has set on the pty (0 when unknown).
  long ProgramBaud() const;

 private:
  SerialServer(Camera& camera, ServerOptions options);
  void serve(std::string* reason);

  Camera& camera_;
  ServerOptions options_;
  std::mutex mutex_;
  std::string path_;
  bool pty_ = false;
  int fd_ = -1;         // master of the pty, or the device
  int keepSlave_ = -1;  // the server's own descriptor of the slave, so closes by the program do not hang up the master
  int stopPipe_[2] = {-1, -1};
  std::thread thread_;
  std::atomic<bool> running_{false};
};

// The baud rate of a termios speed constant (0 for B0 and unknown constants).
long BaudOfSpeed(unsigned int speed);

}  // namespace sim
