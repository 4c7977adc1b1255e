#pragma once

#include <functional>

// Runs `body` where the file permissions hold: as it is for an ordinary user,
// and for root in a child process that has given up root's rights (root may
// write into read-only folders). Returns body's result (-128..127).
int RunUnprivileged(const std::function<int()>& body);
