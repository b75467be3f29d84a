/* floor DOCUMENT SCRATCH: the least work a run of zerova's design must do to
 * write the lines of DOCUMENT (a document zerova wrote) again, into
 * xmlstructure.xml in the current folder, named by its full path as zerova
 * names it: the document opened, locked and emptied once, then per line the
 * scratch file SCRATCH renewed (lstat, unlink, create with O_EXCL and
 * O_NOFOLLOW, close) and the line appended to the document (open with
 * O_NOFOLLOW, fstat to check it is the locked file, write, close). The lines
 * are read from DOCUMENT first, in one read; nothing else is done.
 * bench/peers.sh times zerova against this. */
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

static char* ReadWhole(const char* path, size_t* size) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  struct stat status;
  if (fd < 0 || fstat(fd, &status) != 0) return NULL;
  char* bytes = malloc((size_t)status.st_size + 1);
  const ssize_t got = bytes != NULL ? read(fd, bytes, (size_t)status.st_size) : -1;
  close(fd);
  if (got != status.st_size) return NULL;
  *size = (size_t)got;
  return bytes;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: floor DOCUMENT SCRATCH\n");
    return 2;
  }
  size_t size = 0;
  char* lines = ReadWhole(argv[1], &size);
  char document[PATH_MAX];
  if (lines == NULL || getcwd(document, sizeof document - 32) == NULL) {
    perror(argv[1]);
    return 1;
  }
  strcat(document, "/xmlstructure.xml");
  const char* scratch = argv[2];
  const int lock = open(document, O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  struct stat locked;
  if (lock < 0 || flock(lock, LOCK_EX | LOCK_NB) != 0 || fstat(lock, &locked) != 0 ||
      ftruncate(lock, 0) != 0) {
    perror(document);
    return 1;
  }
  for (size_t at = 0; at < size;) {
    const char* end = memchr(lines + at, '\n', size - at);
    const size_t length = end != NULL ? (size_t)(end - (lines + at)) + 1 : size - at;
    struct stat status;
    if (lstat(scratch, &status) == 0) unlink(scratch);
    close(open(scratch, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    const int fd = open(document, O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 || fstat(fd, &status) != 0 || status.st_ino != locked.st_ino ||
        status.st_dev != locked.st_dev || write(fd, lines + at, length) != (ssize_t)length) {
      perror(document);
      return 1;
    }
    close(fd);
    at += length;
  }
  close(lock);
  free(lines);
  return 0;
}
