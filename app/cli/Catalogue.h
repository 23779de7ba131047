#pragma once
// The catalogue a command works on, and the steps commands share: loading it
// (with --catalogue standing in for the built-in set), taking the change
// lock, running an analysis, and walking the tweaks.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/catalogue/CatalogueLoad.h"
#include "app/cli/Context.h"
#include "core/platform/Handles.h"
#include "tweaker/Group.h"
#include "tweaker/ITweakSetSource.h"
#include "tweaker/Manager.h"
#include "tweaker/SimpleTweak.h"

namespace Cli {

// The sets, with a file read in place of the built-in set when one is named.
using CatalogueSets = ProgramCatalogue::Sets;

// Loads the catalogue and Config.xml. Exit::Done, or the exit code once the
// error has been written: an unreadable or unparsable catalogue names the
// file and the reason (the XML error text).
int LoadCatalogue(const Context& context, Tweaker::Manager* manager);

// Takes the change lock. Exit::Done, or Exit::Failed once it was said that
// another program holds it.
int TakeLock(const Context& context, Platform::UniqueNamedLock* lock);

// Analyses every category on the worker and waits for the end.
// Exit::Done or Exit::Failed once the error has been written.
int Analyse(const Context& context, Tweaker::Manager& manager);

// A tweak and the nested groups it stands in, below its category.
using TweakVisitor = std::function<void(Tweaker::SimpleTweak& tweak, const std::vector<std::wstring>& groups)>;
void ForEachTweak(const Tweaker::Group& category, const TweakVisitor& visit);

// The status line the tuning view shows for an analysed category.
std::wstring CategoryStatusText(const Tweaker::Group& category);

// A tweak counts as in effect when every item of it is.
bool IsInEffect(const Tweaker::ITweak& tweak);

}  // namespace Cli
