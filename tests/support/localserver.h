#pragma once
// Servers on 127.0.0.1 for the downloader's tests: the scripted test server
// (support/testserver.py) and a real proxy (tinyproxy). Each stops when its
// object goes.

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>

#include "support/fixtures.h"

// A port nobody listens on at the moment.
inline int FreePort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  close(probe);
  return ntohs(address.sin_port);
}

// Waits until something accepts connections on the port.
inline bool WaitForPort(int port, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool up = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(s);
    if (up) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// The scripted server over a folder of files it serves under /files/.
class TTestServer {
 public:
  TTestServer() {
    const std::string portFile = (Root.Path() / "port").string();
    const std::string command = "python3 '" + std::string(ZEB_TESTS_DIR) + "/support/testserver.py' '" +
                                Root.Path().string() + "' '" + portFile + "'";
    Pipe = popen(command.c_str(), "w");
    for (int i = 0; i < 500 && !std::filesystem::exists(portFile); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream(portFile) >> Port;
  }
  ~TTestServer() {
    if (Pipe != nullptr) pclose(Pipe);  // its standard input closes: it ends
  }
  TTestServer(const TTestServer&) = delete;
  TTestServer& operator=(const TTestServer&) = delete;

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(Port) + path; }
  std::string Host() const { return "127.0.0.1:" + std::to_string(Port); }
  // Puts a file where /files/NAME serves it.
  std::string Serve(const std::string& name, const std::string& bytes) const { return Root.Write(name, bytes); }
  // The raw requests received so far, each ended by a line "----".
  std::string Requests() const {
    std::ifstream in(Root.Path() / "requests.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  const TTempDir& Folder() const { return Root; }

  int Port = 0;

 private:
  TTempDir Root;
  FILE* Pipe = nullptr;
};

// A program started for a test, ended (SIGTERM) when the object goes.
class TChildProcess {
 public:
  // Runs the program with its arguments; quiet sends its standard error away.
  TChildProcess(const std::vector<std::string>& command, bool quiet) {
    Child = fork();
    if (Child != 0) return;
    if (quiet) {
      const int devNull = open("/dev/null", O_WRONLY);
      dup2(devNull, STDERR_FILENO);
    }
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  ~TChildProcess() {
    if (Child > 0) {
      kill(Child, SIGTERM);
      waitpid(Child, nullptr, 0);
    }
  }
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

 private:
  pid_t Child = -1;
};

// A real proxy (tinyproxy) on a free port of 127.0.0.1.
class TProxy {
 public:
  TProxy()
      : Port(FreePort()),
        Config(Dir.Write("tinyproxy.conf", "Port " + std::to_string(Port) +
                                               "\nListen 127.0.0.1\nTimeout 30\nAllow 127.0.0.1\n"
                                               "MaxClients 20\nLogLevel Critical\n")),
        Process({"tinyproxy", "-d", "-c", Config}, false),
        Ready(WaitForPort(Port)) {}

  TTempDir Dir;
  int Port;
  std::string Config;
  TChildProcess Process;
  bool Ready;
};

// Python's own web server serving a folder on a free port of 127.0.0.1
// (its request log would only clutter the test output).
class TStaticWebServer {
 public:
  explicit TStaticWebServer(const std::string& folder)
      : Port(FreePort()),
        Process({"python3", "-m", "http.server", std::to_string(Port), "--bind", "127.0.0.1", "--directory", folder},
                true),
        Ready(WaitForPort(Port)) {}

  std::string Host() const { return "127.0.0.1:" + std::to_string(Port); }

  int Port;
  TChildProcess Process;
  bool Ready;
};
