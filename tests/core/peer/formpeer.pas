{ Free Pascal peer of the form-streaming tests: writes, reads and converts forms with the
  Classes unit, so the C++ side can be compared with it byte for byte.
    formpeer write OUT       write the sample form (binary)
    formpeer read IN         read a binary form and print every property
    formpeer b2t IN OUT      ObjectBinaryToText
    formpeer t2b IN OUT      ObjectTextToBinary }
program formpeer;
{$mode objfpc}{$H+}{$M+}

uses
  Classes, SysUtils, TypInfo;

type
  TPeerKind = (pkNone, pkAlpha, pkBeta, pkGamma);
  TPeerStyle = (psBold, psItalic, psUnderline, psStrikeOut);
  TPeerStyles = set of TPeerStyle;
  TPeerCursor = type Integer;

  TPeerInner = class(TPersistent)
  private
    FMode: TPeerKind;
    FPath: string;
  published
    property Mode: TPeerKind read FMode write FMode default pkNone;
    property Path: string read FPath write FPath;
  end;

  TPeerOptions = class(TPersistent)
  private
    FEnabled: Boolean;
    FLevel: Integer;
    FInner: TPeerInner;
  public
    constructor Create;
    destructor Destroy; override;
  published
    property Enabled: Boolean read FEnabled write FEnabled default False;
    property Level: Integer read FLevel write FLevel default 3;
    property Inner: TPeerInner read FInner write FInner;
  end;

  TPeerItem = class(TComponent)
  private
    FCount: Integer;
    FBig: Int64;
    FFlag: Boolean;
    FKind: TPeerKind;
    FStyles: TPeerStyles;
    FCaption: string;
    FSize: Cardinal;
    FCursor: TPeerCursor;
    FRatio: Double;
    FOptions: TPeerOptions;
    FLink: TComponent;
    FOnChange: TNotifyEvent;
    FBlob: TMemoryStream;
    procedure ReadBlob(Stream: TStream);
    procedure WriteBlob(Stream: TStream);
  protected
    procedure DefineProperties(Filer: TFiler); override;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    property Blob: TMemoryStream read FBlob;
  published
    property Count: Integer read FCount write FCount default 0;
    property Big: Int64 read FBig write FBig default 0;
    property Flag: Boolean read FFlag write FFlag default False;
    property Kind: TPeerKind read FKind write FKind default pkNone;
    property Styles: TPeerStyles read FStyles write FStyles default [];
    property Caption: string read FCaption write FCaption;
    property Size: Cardinal read FSize write FSize default 0;
    property Cursor: TPeerCursor read FCursor write FCursor default 0;
    property Ratio: Double read FRatio write FRatio;
    property Options: TPeerOptions read FOptions write FOptions;
    property Link: TComponent read FLink write FLink;
    property OnChange: TNotifyEvent read FOnChange write FOnChange;
  end;

  TPeerRoot = class(TComponent)
  private
    FTitle: string;
    FOnLoad: TNotifyEvent;
  protected
    procedure GetChildren(Proc: TGetChildProc; Root: TComponent); override;
  published
    procedure ItemChange(Sender: TObject);
    procedure RootLoad(Sender: TObject);
    property Title: string read FTitle write FTitle;
    property OnLoad: TNotifyEvent read FOnLoad write FOnLoad;
  end;

const
  PeerCursors: array[0..2] of TIdentMapEntry = (
    (Value: 0; Name: 'crDefault'),
    (Value: -2; Name: 'crArrow'),
    (Value: -21; Name: 'crHandPoint'));

function IdentToPeerCursor(const Ident: string; var Int: Longint): Boolean;
begin
  Result := IdentToInt(Ident, Int, PeerCursors);
end;

function PeerCursorToIdent(Int: Longint; var Ident: string): Boolean;
begin
  Result := IntToIdent(Int, Ident, PeerCursors);
end;

constructor TPeerOptions.Create;
begin
  inherited Create;
  FLevel := 3;
  FInner := TPeerInner.Create;
end;

destructor TPeerOptions.Destroy;
begin
  FInner.Free;
  inherited Destroy;
end;

constructor TPeerItem.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FOptions := TPeerOptions.Create;
  FBlob := TMemoryStream.Create;
end;

destructor TPeerItem.Destroy;
begin
  FBlob.Free;
  FOptions.Free;
  inherited Destroy;
end;

procedure TPeerItem.ReadBlob(Stream: TStream);
begin
  FBlob.Clear;
  FBlob.CopyFrom(Stream, Stream.Size - Stream.Position);
end;

procedure TPeerItem.WriteBlob(Stream: TStream);
begin
  Stream.WriteBuffer(FBlob.Memory^, FBlob.Size);
end;

procedure TPeerItem.DefineProperties(Filer: TFiler);
begin
  inherited DefineProperties(Filer);
  Filer.DefineBinaryProperty('Blob', @ReadBlob, @WriteBlob, FBlob.Size > 0);
end;

procedure TPeerRoot.GetChildren(Proc: TGetChildProc; Root: TComponent);
var
  I: Integer;
begin
  if Root = Self then
    for I := 0 to ComponentCount - 1 do
      Proc(Components[I]);
end;

procedure TPeerRoot.ItemChange(Sender: TObject);
begin
end;

procedure TPeerRoot.RootLoad(Sender: TObject);
begin
end;

function Hex(const S: string): string;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do
    Result := Result + IntToHex(Ord(S[I]), 2);
end;

function MethodText(Root: TComponent; const M: TNotifyEvent): string;
begin
  if not Assigned(M) then
    Result := 'nil'
  else
    Result := Root.MethodName(TMethod(M).Code);
end;

function StylesText(S: TPeerStyles): string;
var
  St: TPeerStyle;
begin
  Result := '[';
  for St := Low(TPeerStyle) to High(TPeerStyle) do
    if St in S then
    begin
      if Result <> '[' then Result := Result + ',';
      Result := Result + GetEnumName(TypeInfo(TPeerStyle), Ord(St));
    end;
  Result := Result + ']';
end;

procedure Dump(Root: TPeerRoot);
var
  I: Integer;
  C: TPeerItem;
  B: string;
begin
  WriteLn(Root.Name, ':', Root.ClassName, ' Tag=', Root.Tag, ' Title=', Hex(Root.Title),
    ' OnLoad=', MethodText(Root, Root.OnLoad));
  for I := 0 to Root.ComponentCount - 1 do
  begin
    C := Root.Components[I] as TPeerItem;
    SetLength(B, C.Blob.Size);
    if C.Blob.Size > 0 then Move(C.Blob.Memory^, B[1], C.Blob.Size);
    Write(C.Name, ':', C.ClassName, ' Tag=', C.Tag, ' Count=', C.Count, ' Big=', C.Big,
      ' Flag=', BoolToStr(C.Flag, True), ' Kind=', GetEnumName(TypeInfo(TPeerKind), Ord(C.Kind)),
      ' Styles=', StylesText(C.Styles), ' Caption=', Hex(C.Caption), ' Size=', C.Size,
      ' Cursor=', C.Cursor, ' Ratio=', IntToHex(PInt64(@C.FRatio)^, 16), ' Options.Enabled=', BoolToStr(C.Options.Enabled, True),
      ' Options.Level=', C.Options.Level,
      ' Options.Inner.Mode=', GetEnumName(TypeInfo(TPeerKind), Ord(C.Options.Inner.Mode)),
      ' Options.Inner.Path=', Hex(C.Options.Inner.Path));
    if Assigned(C.Link) then Write(' Link=', C.Link.Name) else Write(' Link=nil');
    WriteLn(' OnChange=', MethodText(Root, C.OnChange), ' Blob=', Hex(B),
      ' Left=', LongRec(C.DesignInfo).Lo, ' Top=', LongRec(C.DesignInfo).Hi);
  end;
end;

function Sample: TPeerRoot;
var
  A, B, C: TPeerItem;
  S: string;
  I: Integer;
begin
  Result := TPeerRoot.Create(nil);
  Result.Name := 'PeerRoot1';
  Result.Title := 'Root ''title''';
  Result.OnLoad := @Result.RootLoad;
  A := TPeerItem.Create(Result);
  A.Name := 'ItemA';
  A.Tag := 70000;
  A.Count := -5;
  A.Big := Int64(1) shl 40;
  A.Flag := True;
  A.Kind := pkBeta;
  A.Styles := [psBold, psUnderline];
  A.Caption := 'Sie k' + Chr(246) + 'nnen' + Chr(9) + 'los!';
  A.Size := $FFFFFFF0;
  A.Cursor := -21;
  A.Ratio := 1.5;
  A.Options.Enabled := True;
  A.Options.Level := 0;
  A.Options.Inner.Mode := pkGamma;
  A.Options.Inner.Path := 'sub\dir';
  A.OnChange := @Result.ItemChange;
  for I := 0 to 69 do
    A.Blob.WriteByte(Byte(I * 7));
  A.DesignInfo := 300 shl 16 + 200;
  B := TPeerItem.Create(Result);
  B.Name := 'ItemB';
  S := '';
  for I := 1 to 300 do
    S := S + Chr(Ord('a') + I mod 26);
  B.Caption := S;
  B.Count := 40000;
  B.Cursor := 7;
  B.Ratio := -0.1;
  B.Options.Level := 3;
  B.Link := A;
  C := TPeerItem.Create(Result);
  C.Name := 'ItemC';
  C.Kind := pkAlpha;
  C.Count := 200;
  C.Big := -3000000000;
end;

procedure WriteSample(const FileName: string);
var
  R: TPeerRoot;
  F: TFileStream;
  W: TWriter;
begin
  R := Sample;
  F := TFileStream.Create(FileName, fmCreate);
  try
    W := TWriter.Create(F, 4096);
    try
      W.WriteRootComponent(R);
    finally
      W.Free;
    end;
  finally
    F.Free;
    R.Free;
  end;
end;

procedure ReadForm(const FileName: string);
var
  F: TFileStream;
  Rd: TReader;
  R: TComponent;
begin
  F := TFileStream.Create(FileName, fmOpenRead);
  try
    Rd := TReader.Create(F, 4096);
    try
      R := Rd.ReadRootComponent(nil);
    finally
      Rd.Free;
    end;
    try
      Dump(R as TPeerRoot);
    finally
      R.Free;
    end;
  finally
    F.Free;
  end;
end;

procedure Convert(ToText: Boolean; const InName, OutName: string);
var
  I, O: TFileStream;
begin
  I := TFileStream.Create(InName, fmOpenRead);
  try
    O := TFileStream.Create(OutName, fmCreate);
    try
      if ToText then ObjectBinaryToText(I, O) else ObjectTextToBinary(I, O);
    finally
      O.Free;
    end;
  finally
    I.Free;
  end;
end;

begin
  RegisterClasses([TPeerRoot, TPeerItem]);
  RegisterIntegerConsts(TypeInfo(TPeerCursor), @IdentToPeerCursor, @PeerCursorToIdent);
  try
    if (ParamCount = 2) and (ParamStr(1) = 'write') then WriteSample(ParamStr(2))
    else if (ParamCount = 2) and (ParamStr(1) = 'read') then ReadForm(ParamStr(2))
    else if (ParamCount = 3) and (ParamStr(1) = 'b2t') then Convert(True, ParamStr(2), ParamStr(3))
    else if (ParamCount = 3) and (ParamStr(1) = 't2b') then Convert(False, ParamStr(2), ParamStr(3))
    else
    begin
      WriteLn(StdErr, 'usage: formpeer write OUT | read IN | b2t IN OUT | t2b IN OUT');
      Halt(2);
    end;
  except
    on E: Exception do
    begin
      WriteLn(StdErr, E.ClassName, ': ', E.Message);
      Halt(1);
    end;
  end;
end.
