#pragma once

// The overall condition of all watched limits, as the status icon conveys it. Never stored.
enum class MenuBarVisualState { normal, warning, exhausted, unavailable };
