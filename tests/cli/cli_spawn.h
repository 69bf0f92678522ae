#pragma once
// Starting the built saldorama-cli from the command-line tests.
#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace saldorama::test {

inline std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Starts saldorama-cli with `args`, standard input from /dev/null and its
// output into the two files; `cwd` is its working directory when given.
// The process id, or 0 when it could not be started.
inline pid_t spawn_cli(const std::vector<std::string>& args, const std::string& outPath, const std::string& errPath,
                       const std::string& cwd = {}) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    std::vector<std::string> all = {SALDORAMA_CLI};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, SALDORAMA_CLI, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : 0;
}

} // namespace saldorama::test
