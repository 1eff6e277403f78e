#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "convert/Translation.h"

namespace orlit {

// Root of every error the program reports. Carries its message in the source language, which is
// what data written by the program holds, and the means to show it in the user's language; the
// class name is what the command line prints in front of it.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : text_(message), message_(std::move(message)) {}
  explicit Exception(SourceText text) : text_(std::move(text)), message_(text_.English()) {}
  const std::string& Message() const { return message_; }
  // The message in the user's language.
  std::string ShownMessage() const { return text_.Translated(); }
  const char* what() const noexcept override { return message_.c_str(); }
  virtual const char* ClassName() const { return "Exception"; }

 private:
  SourceText text_;
  std::string message_;
};

#define ORLIT_EXCEPTION_CLASS(Name, Base)                    \
  class Name : public Base {                                 \
   public:                                                   \
    using Base::Base;                                        \
    const char* ClassName() const override { return #Name; } \
  }

ORLIT_EXCEPTION_CLASS(EConvertError, Exception);
ORLIT_EXCEPTION_CLASS(EAbort, Exception);
ORLIT_EXCEPTION_CLASS(EExternal, Exception);
ORLIT_EXCEPTION_CLASS(EMathError, EExternal);
ORLIT_EXCEPTION_CLASS(EInvalidOp, EMathError);
ORLIT_EXCEPTION_CLASS(EZeroDivide, EMathError);
ORLIT_EXCEPTION_CLASS(EOverflow, EMathError);
ORLIT_EXCEPTION_CLASS(EUnderflow, EMathError);
ORLIT_EXCEPTION_CLASS(EIntError, EExternal);
ORLIT_EXCEPTION_CLASS(EDivByZero, EIntError);
ORLIT_EXCEPTION_CLASS(EIntOverflow, EIntError);

// The text a message box shows for an exception: the message, with a final "." appended when it
// is not empty and its last byte sorts after ".".
std::string MessageWithFinalPeriod(std::string_view message);

// How the terminal reports an exception: "<class>: <message box text>", in the source language
// (what the batch mode writes as data).
std::string FailureText(const Exception& e);

// The same in the user's language, for a person reading the terminal; the class name stays, as it
// is an identifier.
std::string ShownFailureText(const Exception& e);

}  // namespace orlit
