#include "BotHostingFixture.h"
