#pragma once

// The protocol reaching up into the window: the check must refuse this.
#include "ui/form_main.h"
