/* The floor of the console-run rate: what one file-check iteration that writes the execution
   report cannot do without (access, stat, open, flock, write of the UTF-16LE line, close), `count`
   times, with the line made once. With LINES, also that many console lines of a typical length
   per iteration, each one write() to standard output, as `quorvel -c` writes its status lines.
   With THREADS 2, a second thread waits for signals while the first one loops, as the main thread
   of `quorvel -c` waits while the event's own thread works: the kernel does more for each system
   call on a descriptor of a process with more than one thread.
   Usage: rate_floor WATCHED REPORT COUNT [LINES [THREADS]] */
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

static void* WaitForSignals(void* unused)
{
    (void)unused;
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, NULL);
    int signal = 0;
    sigwait(&all, &signal);
    return NULL;
}

int main(int argc, char** argv)
{
    if (argc < 4 || argc > 6)
        return 2;
    if (argc == 6 && atol(argv[5]) == 2) {
        pthread_t waiter;
        if (pthread_create(&waiter, NULL, WaitForSignals, NULL) != 0)
            return 1;
    }
    const char* watched = argv[1];
    const char* report = argv[2];
    const long count = atol(argv[3]);
    const long lines = argc >= 5 ? atol(argv[4]) : 0;
    const char* status = " 9:30:00.000: File or Folder Access->Always->No action (rate) -> Check passed\n";
    const size_t statusLength = strlen(status);
    /* A line as long as the engine's, in UTF-16LE. */
    const char* text = "07-Dec-2026\t 9:30:00.000\trate\t0\t0\t0\t0\t0\tOK\t\r\n";
    char line[256];
    const size_t units = strlen(text);
    for (size_t i = 0; i < units; ++i) {
        line[2 * i] = text[i];
        line[2 * i + 1] = 0;
    }
    int fd = open(report, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || write(fd, "\xFF\xFE", 2) != 2)
        return 1;
    close(fd);
    for (long n = 0; n < count; ++n) {
        struct stat st;
        if (access(watched, F_OK) != 0 || stat(watched, &st) != 0)
            return 1;
        fd = open(report, O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd < 0)
            return 1;
        flock(fd, LOCK_EX);
        const ssize_t written = write(fd, line, 2 * units);
        close(fd); /* also releases the lock */
        if (written != (ssize_t)(2 * units))
            return 1;
        for (long l = 0; l < lines; ++l) {
            if (write(1, status, statusLength) != (ssize_t)statusLength)
                return 1;
        }
    }
    return 0;
}
