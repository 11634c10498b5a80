// A web server on the loopback interface for one test: it answers every request at once with
// a small page, except the one for the held path, which it keeps waiting until Release (so a
// page that shows an image from there stays loading).
#pragma once

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

class HeldPageServer {
 public:
  explicit HeldPageServer(std::string heldPath);
  ~HeldPageServer();
  HeldPageServer(const HeldPageServer&) = delete;
  HeldPageServer& operator=(const HeldPageServer&) = delete;

  // The port on 127.0.0.1, 0 when the server could not start.
  int Port() const { return port_; }
  // Whether a request for the path has come.
  bool Requested(const std::string& path);
  // Answers the held request (and any later one for that path) with 404.
  void Release();

 private:
  void Accept();
  void Answer(int connection);

  std::string heldPath_;
  int listener_ = -1;
  int port_ = 0;
  std::mutex mutex_;
  std::condition_variable released_;
  bool release_ = false;
  bool stop_ = false;
  std::set<std::string> requested_;
  std::thread acceptor_;
  std::vector<std::thread> connections_;
};
