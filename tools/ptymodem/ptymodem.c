/*
 * Modem lines for pseudo-terminals, for serial tests under Wine.
 *
 * A pty has no modem lines: it refuses TIOCMGET, TIOCMSET/BIS/BIC,
 * TIOCGICOUNT and TIOCSERGETLSR, and Wine's serial code then fails
 * GetCommModemStatus, EscapeCommFunction and WaitCommEvent. Preloaded into
 * the Wine process under test (never into the wineserver), this library
 * answers those requests for pty slaves only, from a modem state that the
 * device simulator shares through a file:
 *
 *   KV_MODEM_FILE   text file holding one decimal number, the TIOCM_* mask.
 *                   The simulator owns CTS, DSR, CD and RI; we rewrite DTR
 *                   and RTS (whole file replaced by rename, so a reader never
 *                   sees half a number).
 *
 * Without KV_MODEM_FILE every call goes to the real ioctl unchanged.
 * Debian's i386 Wine calls __ioctl_time64 instead of ioctl; both are here.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

typedef int (*ioctl_fn)(int, unsigned long, ...);

#define PTY_SLAVE_MAJOR_FIRST 136
#define PTY_SLAVE_MAJOR_LAST 143
#define OWN_LINES (TIOCM_DTR | TIOCM_RTS)
/* Above the line bits the state holds how many line (framing) errors the
 * device side has caused so far, so that tests can make one happen. */
#define LINE_ERROR_SHIFT 16
#define LINE_BITS ((1 << LINE_ERROR_SHIFT) - 1)

static int is_pty_slave(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return 0;
  unsigned m = major(st.st_rdev);
  return m >= PTY_SLAVE_MAJOR_FIRST && m <= PTY_SLAVE_MAJOR_LAST;
}

static const char* state_file(void) {
  const char* path = getenv("KV_MODEM_FILE");
  return path != NULL && *path != '\0' ? path : NULL;
}

static int read_state(const char* path, int* bits) {
  FILE* f = fopen(path, "r");
  if (f == NULL) return -1;
  int ok = fscanf(f, "%d", bits) == 1;
  fclose(f);
  return ok ? 0 : -1;
}

static int write_state(const char* path, int bits) {
  char tmp[4096];
  if (snprintf(tmp, sizeof tmp, "%s.%d.tmp", path, (int)getpid()) >= (int)sizeof tmp) return -1;
  FILE* f = fopen(tmp, "w");
  if (f == NULL) return -1;
  int ok = fprintf(f, "%d\n", bits) > 0;
  ok = (fclose(f) == 0) && ok;
  if (!ok || rename(tmp, path) != 0) {
    unlink(tmp);
    return -1;
  }
  return 0;
}

/* Wine sees modem-line changes through the TIOCGICOUNT counters, which a
 * real driver advances on each CTS, DSR or CD change and each ring. We advance
 * them whenever a read of the shared state shows such a change. */
static pthread_mutex_t counts_lock = PTHREAD_MUTEX_INITIALIZER;
static int last_bits = -1;
static struct serial_icounter_struct counts;

static void note_state(int bits, struct serial_icounter_struct* copy) {
  pthread_mutex_lock(&counts_lock);
  if (last_bits >= 0) {
    int changed = bits ^ last_bits;
    if (changed & TIOCM_CTS) counts.cts++;
    if (changed & TIOCM_DSR) counts.dsr++;
    if (changed & TIOCM_CAR) counts.dcd++;
    if (changed & bits & TIOCM_RNG) counts.rng++;
    int errors = (bits >> LINE_ERROR_SHIFT) - (last_bits >> LINE_ERROR_SHIFT);
    if (errors > 0) counts.frame += errors;
  }
  last_bits = bits;
  if (copy != NULL) *copy = counts;
  pthread_mutex_unlock(&counts_lock);
}

/* Returns 1 when the request was answered here (result in *rc). */
static int answer(int fd, unsigned long request, void* arg, int* rc) {
  const char* path = state_file();
  if (path == NULL) return 0;
  switch (request) {
    case TIOCMGET: case TIOCMSET: case TIOCMBIS: case TIOCMBIC:
    case TIOCGICOUNT: case TIOCSERGETLSR:
      break;
    default:
      return 0;
  }
  if (!is_pty_slave(fd)) return 0;
  if (arg == NULL) {
    errno = EFAULT;
    *rc = -1;
    return 1;
  }
  int bits = 0;
  if (read_state(path, &bits) != 0) {
    errno = EIO;
    *rc = -1;
    return 1;
  }
  *rc = 0;
  switch (request) {
    case TIOCMGET:
      note_state(bits, NULL);
      *(int*)arg = bits & LINE_BITS;
      return 1;
    case TIOCMSET:
      bits = (bits & ~OWN_LINES) | (*(int*)arg & OWN_LINES);
      break;
    case TIOCMBIS:
      bits |= *(int*)arg & OWN_LINES;
      break;
    case TIOCMBIC:
      bits &= ~(*(int*)arg & OWN_LINES);
      break;
    case TIOCGICOUNT:
      /* Only the line counts and the errors the state file asks for move. */
      note_state(bits, (struct serial_icounter_struct*)arg);
      return 1;
    case TIOCSERGETLSR:
      *(unsigned int*)arg = TIOCSER_TEMT;
      return 1;
  }
  if (write_state(path, bits) != 0) {
    errno = EIO;
    *rc = -1;
  }
  return 1;
}

static ioctl_fn next_ioctl(const char* name) {
  return (ioctl_fn)dlsym(RTLD_NEXT, name);
}

int ioctl(int fd, unsigned long request, ...) {
  va_list ap;
  va_start(ap, request);
  void* arg = va_arg(ap, void*);
  va_end(ap);
  int rc;
  if (answer(fd, request, arg, &rc)) return rc;
  static ioctl_fn real;
  if (real == NULL) real = next_ioctl("ioctl");
  if (real == NULL) {
    errno = ENOSYS;
    return -1;
  }
  return real(fd, request, arg);
}

#if defined(__i386__)
int __ioctl_time64(int fd, unsigned long request, ...) {
  va_list ap;
  va_start(ap, request);
  void* arg = va_arg(ap, void*);
  va_end(ap);
  int rc;
  if (answer(fd, request, arg, &rc)) return rc;
  static ioctl_fn real;
  if (real == NULL) real = next_ioctl("__ioctl_time64");
  if (real == NULL) real = next_ioctl("ioctl");
  if (real == NULL) {
    errno = ENOSYS;
    return -1;
  }
  return real(fd, request, arg);
}
#endif
