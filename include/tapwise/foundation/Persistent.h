#pragma once

#include <string>

namespace tapwise {

/// Base of every copyable class. `Assign` copies from a source; a class that does not know
/// the source hands the job to the source's `AssignTo`, and when neither side knows the
/// other the copy fails with EConvertError "Cannot assign a <source> to a <destination>".
class TPersistent {
 public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
  virtual ~TPersistent() = default;

  /// Copies the content of `source` into this object.
  virtual void Assign(const TPersistent& source);
  /// The class name as the library reports it in messages ("TFuzzySet", "TStringList").
  virtual std::string ClassName() const { return "TPersistent"; }

 protected:
  /// Copies this object into `dest`; the fallback of `dest.Assign(*this)`.
  virtual void AssignTo(TPersistent& dest) const;
  /// Raises the cannot-assign error for a copy from `source` into `dest`.
  [[noreturn]] static void AssignError(const TPersistent* source, const TPersistent& dest);

  // Lets descendants reach another object's AssignTo when they forward an assignment.
  static void CallAssignTo(const TPersistent& source, TPersistent& dest) { source.AssignTo(dest); }
};

}  // namespace tapwise
