#pragma once
// The six timers' tick handlers: each scans the process list once and, when what it
// waits for has happened, stops itself and moves the chain on.
#include "app/session.h"

void expectation_start_setupTimer(Form1& form);
void expectationTimer(Form1& form);
void start_1CTimer(Form1& form);
void exit_1cTimer(Form1& form);
void update_confTimer(Form1& form);
void update_conf_2Timer(Form1& form);

using TickHandler = void (*)(Form1&);
// The handler that a tick of `timer` runs.
TickHandler TickHandlerOf(TimerName timer);
