#pragma once

#include <cstdint>

#include "platform/process.h"
#include "support/cstd_str.h"

// Starts another program from a command line, directly or, for a batch file, through the
// system's command interpreter, optionally from the program's own directory and waiting for
// its end.
class Launcher {
  public:
    Launcher() = default;
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // errorCode gets the system error (0 on success), exitCode the program's exit code (0
    // when it was not waited for or not started). A showCommand of 0 shows the window
    // without activating it.
    virtual void LaunchProgram(const char* commandLine, bool wait, bool pumpMessages,
                               bool changeDir, platform::UserToken token, uint16_t showCommand,
                               uint32_t creationFlags, uint32_t& errorCode, uint32_t& exitCode,
                               bool paintOnly);
    // Called once a second while LaunchProgram waits and keeps the message queue alive.
    virtual void onWaitTick() {}
    virtual ~Launcher() = default;

  private:
    uint32_t runProcess(const CStdStr& command, bool wait, bool pumpMessages,
                        platform::UserToken token, uint16_t showCommand, uint32_t creationFlags,
                        uint32_t& exitCode, bool paintOnly);
    uint32_t waitWhilePumping(platform::ProcessHandle process, bool paintOnly);
};

// Both return the system error code.
uint32_t launchNoWait(const char* commandLine, bool changeDir, platform::UserToken token,
                      uint16_t showCommand, uint32_t creationFlags);
uint32_t launchAndWait(const char* commandLine, bool pumpMessages, uint32_t& exitCode,
                       bool changeDir, platform::UserToken token, uint16_t showCommand,
                       uint32_t creationFlags, bool paintOnly);
