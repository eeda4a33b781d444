#pragma once
// What every Wine test uses to drive and watch the real system from inside the prefix:
// the runner's environment, polling, processes, the utility's windows, the platform
// stand-in, and files. Everything lives in namespace harness.
#include "environment.h"
#include "files.h"
#include "polling.h"
#include "processes.h"
#include "scenario_player.h"
#include "stand_in.h"
#include "started_window.h"
#include "window_driver.h"
#include "window_view.h"
