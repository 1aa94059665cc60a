// Error status and reporting.
#include <cstdlib>

#include "halvex_internal.h"

int32_t reportError(int32_t status, const char* funcName, const char* context, const char* file,
                    int32_t line) {
    ThreadContext* ctx = getThreadContext();
    if (status != statusBacktrace && status != statusAutotrace) {
        ctx->status = status;
        if (status == statusNoError) return 0;
    }
    ErrorHandler handler = ctx->errorHandler != nullptr ? ctx->errorHandler : defaultErrorHandler;
    return handler(status, funcName, context, file, line);
}

int32_t defaultErrorHandler(int32_t status, const char* /*funcName*/, const char* /*context*/,
                            const char* /*file*/, int32_t /*line*/) {
    if (getThreadContext()->errorMode == 0) {
        std::exit(1);  // the runtime's exit processing runs; never returns
    }
    return status;
}

const char* statusText(int32_t status) {
    switch (status) {
        case statusNoError: return "No Error";
        case statusBacktrace: return "Backtrace";
        case statusInternalError: return "Internal error (bad state)";
        case statusOutOfMemory: return "Out of memory";
        case statusBadArgument: return "Bad argument";
        case statusUnsupported: return "Unsupported function";
        case statusNoConvergence: return "Iteration convergence failed";
        case statusAutotrace: return "Autotrace call";
        case statusNullPointer: return "Null pointer";
        case statusBadPointer: return "Bad pointer";
        case statusBadStructure: return "Bad data structure";
        case statusBadLength: return "Bad vector length";
        default: return "Unknown error or status code";
    }
}
