// dravonsim: simulated DravonQ40LAP programmer units on pseudo-terminals, for the program to
// find as it finds real ones. It opens one terminal per unit, prints their device paths, and
// writes a ConfigDqg.ini that lists them into the folder given with --dir.
//
//   dravonsim [--units N] [--dir FOLDER] [--pace] [--version V] [--boot I] [--old I:VERSION]
//             [--fault I:NAME] [--delay MS] [--hangup I:COMMANDS] [--offline-chips N]
//
// Unit numbers I count from 0. Faults: noreply, delay, wrongcrc, badescape, onebyte, noise,
// garbage, difference, protected, notblank, badreport. --hangup makes unit I close its
// terminal after that many commands. It runs until SIGINT or SIGTERM.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "unit.h"

namespace {

using dravon::sim::Fault;
using dravon::sim::Unit;
using dravon::sim::UnitOptions;

// Paced, replies reach the PC the way a high-speed USB serial adapter delivers them: in 512-byte
// packets, and the end of a frame as soon as it has crossed the wire.
constexpr size_t kUsbPacket = 512;

std::atomic<bool> stopping{false};

void OnSignal(int) {
  stopping = true;
}

struct Terminal {
  int master = -1;
  int slave = -1;
  std::string path;
  std::unique_ptr<Unit> unit;
  std::vector<uint8_t> pending;  // taken from the unit, not yet accepted by the terminal
  bool closed = false;
};

const std::map<std::string, Fault> kFaults = {
    {"noreply", Fault::NoReply},           {"delay", Fault::ReplyDelay},
    {"wrongcrc", Fault::WrongCrc},         {"badescape", Fault::BadEscape},
    {"onebyte", Fault::OneByteChunks},     {"noise", Fault::Noise},
    {"garbage", Fault::Garbage},           {"difference", Fault::VerifyDifference},
    {"protected", Fault::ProtectedChip},   {"notblank", Fault::NotBlank},
    {"badreport", Fault::BadStatusReport},
};

int Usage() {
  std::fprintf(stderr,
               "usage: dravonsim [--units N] [--dir FOLDER] [--pace] [--version V] [--boot I]\n"
               "                 [--old I:VERSION] [--fault I:NAME] [--delay MS]\n"
               "                 [--hangup I:COMMANDS] [--offline-chips N]\n");
  return 2;
}

bool SplitIndex(const std::string& arg, int& index, std::string& rest) {
  size_t colon = arg.find(':');
  if (colon == std::string::npos) return false;
  index = std::atoi(arg.substr(0, colon).c_str());
  rest = arg.substr(colon + 1);
  return true;
}

double NowMs() {
  using namespace std::chrono;
  static const auto start = steady_clock::now();
  return duration<double, std::milli>(steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  int units = 4;
  std::string dir;
  UnitOptions base;
  std::map<int, UnitOptions> special;
  std::vector<std::pair<int, Fault>> faults;
  std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    int index = 0;
    std::string rest;
    if (a == "--pace") {
      base.pace = true;
    } else if (a == "--units" && value(v)) {
      units = std::atoi(v.c_str());
    } else if (a == "--dir" && value(v)) {
      dir = v;
    } else if (a == "--version" && value(v)) {
      base.version = v;
    } else if (a == "--delay" && value(v)) {
      base.replyDelayMs = std::atof(v.c_str());
    } else if (a == "--offline-chips" && value(v)) {
      base.offlineChips = std::atoi(v.c_str());
    } else if (a == "--boot" && value(v)) {
      special[std::atoi(v.c_str())].bootLoader = true;
    } else if (a == "--old" && value(v) && SplitIndex(v, index, rest)) {
      special[index].version = rest;
    } else if (a == "--hangup" && value(v) && SplitIndex(v, index, rest)) {
      special[index].hangUpAfter = std::atoi(rest.c_str());
      faults.emplace_back(index, Fault::HangUp);
    } else if (a == "--fault" && value(v) && SplitIndex(v, index, rest) && kFaults.count(rest)) {
      faults.emplace_back(index, kFaults.at(rest));
    } else {
      return Usage();
    }
  }
  if (units < 1 || units > 10) return Usage();

  std::vector<Terminal> terminals(static_cast<size_t>(units));
  for (int i = 0; i < units; ++i) {
    Terminal& t = terminals[i];
    char name[256] = {};
    if (openpty(&t.master, &t.slave, name, nullptr, nullptr) != 0) {
      std::perror("dravonsim: openpty");
      return 1;
    }
    // Raw at once: until a client opens it the line discipline would echo and translate.
    termios raw{};
    tcgetattr(t.slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(t.slave, TCSANOW, &raw);
    fcntl(t.master, F_SETFL, fcntl(t.master, F_GETFL) | O_NONBLOCK);
    t.path = name;
    UnitOptions options = base;
    if (special.count(i)) {
      const UnitOptions& s = special[i];
      options.bootLoader = s.bootLoader;
      if (s.version != UnitOptions{}.version) options.version = s.version;
      options.hangUpAfter = s.hangUpAfter;
    }
    options.seed = static_cast<uint32_t>(i + 1);
    t.unit = std::make_unique<Unit>(options);
    std::printf("%s\n", name);
  }
  for (auto [index, fault] : faults) {
    if (index >= 0 && index < units) terminals[index].unit->SetFault(fault, true);
  }
  std::fflush(stdout);
  if (!dir.empty()) {
    std::ofstream ini(dir + "/ConfigDqg.ini", std::ios::binary);
    ini << "; programmer units simulated by dravonsim\r\n[Connection]\r\nTOTDEV=" << units
        << "\r\n";
    for (int i = 0; i < units; ++i)
      ini << "DEV" << i + 1 << "=" << terminals[i].path << "\r\n";
  }

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  const size_t packet = base.pace ? kUsbPacket : 4096;
  std::vector<pollfd> fds(terminals.size());
  std::vector<uint8_t> buffer(4096);
  while (!stopping) {
    for (size_t i = 0; i < terminals.size(); ++i) {
      fds[i] = {terminals[i].closed ? -1 : terminals[i].master, POLLIN, 0};
    }
    // Sleeps until the next reply bytes are due, at most 1 ms (off-line reports and the
    // PC's bytes come in between), so a reply ends on time rather than on a millisecond tick.
    double wait = 1.0;
    const double before = NowMs();
    for (const Terminal& t : terminals) {
      if (t.closed || !t.pending.empty()) continue;
      const double due = t.unit->NextDeliveryMs(packet);
      if (due >= 0) wait = std::min(wait, std::max(0.0, due - before + 0.01));
    }
    const timespec timeout{0, static_cast<long>(wait * 1e6)};
    ::ppoll(fds.data(), fds.size(), &timeout, nullptr);
    const double now = NowMs();
    for (size_t i = 0; i < terminals.size(); ++i) {
      Terminal& t = terminals[i];
      if (t.closed) continue;
      if (fds[i].revents & POLLIN) {
        const ssize_t n = ::read(t.master, buffer.data(), buffer.size());
        if (n > 0) t.unit->Receive(buffer.data(), static_cast<size_t>(n));
      }
      t.unit->Advance(now);
      if (t.unit->HungUp()) {
        // The unit goes away: both ends close, as when an adapter is pulled.
        ::close(t.master);
        ::close(t.slave);
        t.closed = true;
        std::fprintf(stderr, "dravonsim: unit %zu hung up\n", i);
        continue;
      }
      if (t.pending.empty())
        t.pending = base.pace ? t.unit->TakeOutput(packet, packet) : t.unit->TakeOutput(4096);
      if (!t.pending.empty()) {
        const ssize_t n = ::write(t.master, t.pending.data(), t.pending.size());
        if (n > 0) t.pending.erase(t.pending.begin(), t.pending.begin() + n);
      }
    }
  }
  // What each unit was given, for end-to-end checks: its job block, the serial numbers it was
  // told to start from, the main flash it received and whether off-line programming began.
  for (size_t i = 0; i < terminals.size(); ++i) {
    const Unit& u = *terminals[i].unit;
    const auto& job = u.Job();
    uint32_t acc = 0;
    for (uint8_t b : u.DownloadedMain())
      acc += b;
    std::printf(
        "unit %zu: job %s, serial numbers from %u step %u, main %zu bytes ACC32 0x%08X, "
        "off-line %s\n",
        i,
        !job.received   ? "none"
        : job.blockGood ? "good"
                        : "bad",
        job.snInitial, job.snStep, u.DownloadedMain().size(), acc,
        u.OfflineStarted() ? "started" : "not started");
  }
  std::fflush(stdout);
  for (Terminal& t : terminals) {
    if (!t.closed) {
      ::close(t.master);
      ::close(t.slave);
    }
  }
  return 0;
}
