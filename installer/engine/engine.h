// The installation engine of setup: finding the host applications (hosts.h),
// copying and removing files under the script's policies (files.h), where
// setup may work (hostdir.h), and the installation run (run.h).
#pragma once
#include "files.h"
#include "hostdir.h"
#include "hosts.h"
#include "run.h"
