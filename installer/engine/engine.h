// The installation engine of setup: finding the host applications (hosts.h),
// copying and removing files under the script's policies (files.h), and the
// installation run (run.h).
#pragma once
#include "files.h"
#include "hosts.h"
#include "run.h"
