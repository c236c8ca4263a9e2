// The command loop: the one place that knows every command.
#pragma once

// Runs the commands in words[0..count-1]; never returns.
[[noreturn]] void run_commands(char **words, int count);
