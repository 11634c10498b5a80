#include "held_page_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

HeldPageServer::HeldPageServer(std::string heldPath) : heldPath_(std::move(heldPath)) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 16) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    return;
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
}

HeldPageServer::~HeldPageServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = release_ = true;
  }
  released_.notify_all();
  if (acceptor_.joinable()) acceptor_.join();
  for (std::thread& t : connections_) t.join();
  if (listener_ >= 0) close(listener_);
}

bool HeldPageServer::Requested(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  return requested_.count(path) > 0;
}

void HeldPageServer::Release() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    release_ = true;
  }
  released_.notify_all();
}

void HeldPageServer::Accept() {
  pollfd waiting{listener_, POLLIN, 0};
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
    }
    if (poll(&waiting, 1, 50) <= 0) continue;
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.emplace_back([this, connection] { Answer(connection); });
  }
}

void HeldPageServer::Answer(int connection) {
  // The request line and headers (a GET has no body); at most 10 s for them.
  std::string request;
  pollfd readable{connection, POLLIN, 0};
  char buffer[4096];
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (request.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    if (poll(&readable, 1, 100) <= 0) continue;
    const ssize_t n = read(connection, buffer, sizeof buffer);
    if (n <= 0) break;
    request.append(buffer, size_t(n));
  }
  const size_t start = request.find(' ') + 1;
  const std::string path = start > 0 ? request.substr(start, request.find(' ', start) - start) : std::string();
  std::string body = "<!DOCTYPE html><title>elsewhere</title><p>elsewhere</p>";
  std::string status = "200 OK";
  {
    std::unique_lock<std::mutex> lock(mutex_);
    requested_.insert(path);
    if (path == heldPath_) {
      released_.wait(lock, [this] { return release_; });
      status = "404 Not Found";
      body.clear();
    }
  }
  const std::string answer = "HTTP/1.1 " + status +
                             "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                             "\r\nConnection: close\r\n\r\n" + body;
  ssize_t ignored = write(connection, answer.data(), answer.size());
  (void)ignored;
  close(connection);
}
