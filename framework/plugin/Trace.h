// The framework calls this hook at each of its entry points with the
// operation's qualified name. It prints nothing; a developer build may point
// it at a log while chasing a host problem.
#pragma once

inline void Trace(const char* /*qualifiedName*/, int /*line*/) {}

#define TRACE_ENTRY(name) Trace(name, __LINE__)
