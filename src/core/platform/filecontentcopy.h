#pragma once

// Copies everything from one open file descriptor to another from their current
// positions: through the kernel's copy offload where the file systems allow it,
// else through a 1 MiB buffer. Interrupted calls are retried. False on an error
// (errno tells which).
bool copyFileContents(int in, int out);
