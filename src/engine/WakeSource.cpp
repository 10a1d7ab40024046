#include "WakeSource.h"

WakeSource::WakeSource(QObject* parent) : QObject(parent) {}

WakeSource::~WakeSource() = default;
