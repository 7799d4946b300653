#include "tapwise/foundation/Persistent.h"

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"

namespace tapwise {

void TPersistent::Assign(const TPersistent& source) {
  source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& dest) const {
  AssignError(this, dest);
}

void TPersistent::AssignError(const TPersistent* source, const TPersistent& dest) {
  const std::string source_name = source != nullptr ? source->ClassName() : "nil";
  throw EConvertError(Format(messages::kCannotAssign, source_name, dest.ClassName()));
}

}  // namespace tapwise
