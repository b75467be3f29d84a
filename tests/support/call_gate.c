/* A gate in a child process's system calls, loaded with LD_PRELOAD, so that a
 * test can act at an exact point of a real `zerova` run: between two lines, in
 * the middle of reading a file, between the scratch file's delete and create.
 *
 * ZEROVA_GATE_CALL names the call watched (pread, writev, unlink, rename, or write
 * to a file: to a descriptor above standard error),
 * ZEROVA_GATE_AT which of its calls closes the gate (counted from 1), and
 * ZEROVA_GATE_FDS two descriptors "IN,OUT". Once that call is made, the gate
 * writes "g" to OUT and waits until a byte can be read from IN before it
 * returns; a signal while it waits only makes it wait on. When the process
 * exits, the gate writes "calls N" to OUT: how many watched calls it made. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

static const char* watched;
static long gate_at;
static int gate_in = -1, gate_out = -1;
static long calls;

__attribute__((constructor)) static void ReadSettings(void) {
  watched = getenv("ZEROVA_GATE_CALL");
  const char* at = getenv("ZEROVA_GATE_AT");
  const char* fds = getenv("ZEROVA_GATE_FDS");
  gate_at = at != NULL ? atol(at) : 0;
  if (fds == NULL || sscanf(fds, "%d,%d", &gate_in, &gate_out) != 2) watched = NULL;
}

__attribute__((destructor)) static void ReportCalls(void) {
  if (watched == NULL) return;
  char text[32];
  const int n = snprintf(text, sizeof text, "calls %ld", calls);
  if (syscall(SYS_write, gate_out, text, (size_t)n) < 0) return;
}

/* Counts a call of `name`, made; at the gate's call, waits to be let through. */
static void Pass(const char* name) {
  if (watched == NULL || strcmp(watched, name) != 0) return;
  if (++calls != gate_at) return;
  const int saved = errno;
  if (syscall(SYS_write, gate_out, "g", 1) == 1) {
    char byte;
    while (read(gate_in, &byte, 1) < 0 && errno == EINTR) {
    }
  }
  errno = saved;
}

/* Defines `name`: the next definition of the call, then Pass(`watched`). */
#define GATED(type, name, watched, params, args) \
  type name params {                             \
    type(*next) params;                          \
    *(void**)&next = dlsym(RTLD_NEXT, #name);    \
    const type result = next args;               \
    Pass(watched);                               \
    return result;                               \
  }

GATED(ssize_t, pread, "pread", (int fd, void* buffer, size_t count, off_t offset),
      (fd, buffer, count, offset))
GATED(ssize_t, pread64, "pread", (int fd, void* buffer, size_t count, off_t offset),
      (fd, buffer, count, offset))
GATED(ssize_t, writev, "writev", (int fd, const struct iovec* parts, int count), (fd, parts, count))
GATED(int, unlink, "unlink", (const char* path), (path))
GATED(int, rename, "rename", (const char* from, const char* to), (from, to))

ssize_t write(int fd, const void* buffer, size_t count) {
  ssize_t (*next)(int, const void*, size_t);
  *(void**)&next = dlsym(RTLD_NEXT, "write");
  const ssize_t result = next(fd, buffer, count);
  if (fd > 2) Pass("write"); /* to a file: not a message on stdout or stderr */
  return result;
}
