#ifndef QUILO_TESTS_UIA_SHELLRECORDER_H
#define QUILO_TESTS_UIA_SHELLRECORDER_H

// Web pages the launcher opens are observed for real: the test prefix's http
// and https handlers are a recorder program, so ShellExecuteW really runs it
// and the addresses it was given can be read back.

#include <string>
#include <vector>

// Registers the recorder as the handler of http and https (idempotent).
void RegisterUrlRecorder();
// Forgets the addresses recorded so far.
void ClearOpenedUrls();
// The addresses opened since the last clear, in order.
std::vector<std::string> OpenedUrls();
// Waits until at least `count` addresses were recorded (bounded); returns them.
std::vector<std::string> WaitForOpenedUrls(size_t count, unsigned long timeoutMs = 10000);

#endif
