#include "LogSink.h"

LogSink::~LogSink() = default;
