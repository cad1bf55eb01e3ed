-- Korventa 0601 database schema (SQLite).
--
-- Created by the launcher and by `korventa-cli init` on an empty file; every statement is
-- idempotent. No foreign keys: the launcher and the module share the file and each deletes
-- in its own order.
--
-- Conventions
--  * Column order is significant. The row control number (cNumero) is computed over a row's
--    columns in table order: the first n columns are summed as numbers, the following ones
--    are weighted character by character, and the last column is cNumero itself. Stored
--    tables therefore keep the column order in which the save writes them and end with
--    cNumero (spelt cnumero in a few tables; SQLite names are case-insensitive).
--  * Every sent declaration lives in the history twin H<table>: exactly the columns of the
--    base table, same order, then the history columns appended at the end (HCAB: norden,
--    fec_env, control, correl; all others: correl, text). F600INFEPS already carries its
--    own Correl column, so HF600INFEPS has no extra column.
--  * Working tables (TEMP*, TMP*) are not in the file: each connection has its own, in its
--    temp schema (working_tables.sql).
--  * A file of the earlier layout gets the tables of "Several programs on one file" below,
--    as written here, from the first write that needs them.
--  * Amounts, day counts, hours, rates typed by the user, periods (YYYYMM) and codes (tipo,
--    situac, codigo, Casilla, tipo_suspen, ...) are TEXT. An empty amount means "not
--    declared" and differs from '0.00'; amount columns therefore have no default (the code
--    treats NULL like ''). Identifiers and codes compared as numbers are INTEGER
--    (tip_doc_d, tip_doc_a, correl_a, cod_cat_tra, estado, ind_ref, pension, Est_civil,
--    cod_est, ind_sctr, sctr, correl_centro, correl_tasa, ...). Registry rates are NUMERIC.
--  * Dates: the registry (ASEGVKRS, PERIODOLAB, DEREHABVKRS: fec_nac, fec_ini, fec_fin,
--    fec_insc, fec_baja) stores ISO text 'YYYY-MM-DD'. Declaration and working tables store
--    the dates they are given as 'dd/mm/yyyy' text (fec_pro, fecha_ini, fecha_fin, fec_emi,
--    fec_pago, Fec_Emis, ...).
--  * Keys: natural primary keys on the header, boxes, registry and reference tables. The
--    per-person stored tables have no unique keys (the program reports its own duplicate
--    messages). Plain indexes cover the lookups by declaration and person.

-- ===============================================================================================
-- Declaration header and boxes
-- ===============================================================================================

-- Declaration header. estado 0 saved without inconsistencies, 1 sent, 9 with inconsistencies
-- or waiting for a refresh; ind_ref 1 = must be refreshed; rectifica '1'/'0'. n = 5.
CREATE TABLE IF NOT EXISTS CAB (
    tip_doc_d  INTEGER NOT NULL,
    doc_id_d   TEXT NOT NULL,
    periodo    TEXT NOT NULL,
    Formulario TEXT NOT NULL,
    Semana     TEXT,
    fec_pro    TEXT,
    bcolibrad  TEXT,
    nrocheque  TEXT,
    efectivo   TEXT,
    cheque     TEXT,
    rectifica  TEXT,
    estado     INTEGER,
    ind_ref    INTEGER,
    usuario    TEXT DEFAULT '',
    cNumero    TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, periodo, Formulario)
);

-- Sent declarations: CAB + order number, sending date, control code and sending sequence.
CREATE TABLE IF NOT EXISTS HCAB (
    tip_doc_d  INTEGER NOT NULL,
    doc_id_d   TEXT NOT NULL,
    periodo    TEXT NOT NULL,
    Formulario TEXT NOT NULL,
    Semana     TEXT,
    fec_pro    TEXT,
    bcolibrad  TEXT,
    nrocheque  TEXT,
    efectivo   TEXT,
    cheque     TEXT,
    rectifica  TEXT,
    estado     INTEGER,
    ind_ref    INTEGER,
    usuario    TEXT DEFAULT '',
    cNumero    TEXT,
    norden     TEXT,
    fec_env    TEXT,
    control    TEXT,
    correl     TEXT NOT NULL,
    PRIMARY KEY (tip_doc_d, doc_id_d, periodo, Formulario, correl)
);

-- Boxes of a declaration: i_valor whole soles as text (header boxes keep their text);
-- idcasilla '05' amount-to-pay boxes, '01' the others. n = 6.
CREATE TABLE IF NOT EXISTS DET (
    tip_doc_d  INTEGER NOT NULL,
    doc_id_d   TEXT NOT NULL,
    periodo    TEXT NOT NULL,
    Formulario TEXT NOT NULL,
    Casilla    TEXT NOT NULL,
    i_valor    TEXT,
    idcasilla  TEXT,
    cNumero    TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, periodo, Formulario, Casilla)
);

-- Boxes of sent declarations.
CREATE TABLE IF NOT EXISTS HDET (
    tip_doc_d  INTEGER NOT NULL,
    doc_id_d   TEXT NOT NULL,
    periodo    TEXT NOT NULL,
    Formulario TEXT NOT NULL,
    Casilla    TEXT NOT NULL,
    i_valor    TEXT,
    idcasilla  TEXT,
    cNumero    TEXT,
    correl     TEXT NOT NULL,
    PRIMARY KEY (tip_doc_d, doc_id_d, periodo, Formulario, Casilla, correl)
);

-- ===============================================================================================
-- Stored per-person detail of declarations in preparation
-- ===============================================================================================

-- One row per worker (category 1) and pensioner (2) of a declaration: days, hours,
-- income groups, tax bases and amounts. Control number over the first 6 columns.
CREATE TABLE IF NOT EXISTS F601_TRAB (
    Tip_doc_d       INTEGER,
    doc_id_d        TEXT,
    Correl_a        INTEGER,
    periodo         TEXT,
    formulario      TEXT,
    cod_cat_tra     INTEGER,
    tip_doc_a       INTEGER,
    doc_id_a        TEXT,
    Situac          TEXT,
    Tipo            TEXT,
    dias_lab        TEXT,
    dias_no_lab     TEXT,
    dias_sub        TEXT,
    horas_nor       TEXT,
    horas_sob       TEXT,
    Tot_Ingresos    TEXT,
    AportDes        TEXT,
    NetoPagar       TEXT,
    AportEmp        TEXT,
    Ingresos        TEXT,
    Ing_Asig        TEXT,
    Ing_Bonif       TEXT,
    Ing_Gratif      TEXT,
    Ing_Indemniz    TEXT,
    Ing_publico     TEXT,
    Desc_Trab       TEXT,
    Otros_Concep    TEXT,
    Aport_TrabPens  TEXT,
    Concep_Varios   TEXT,
    rem_afecta      TEXT,
    tributo         TEXT,
    rem_20530       TEXT,
    trib_20530      TEXT,
    ipss_vida       TEXT,
    pension         INTEGER,
    rem_pens        TEXT,
    pens            TEXT,
    tipo_pago       TEXT,
    ind_quinta      TEXT,
    ind_domicilio   TEXT,
    rem_salud       TEXT,
    salud           TEXT,
    salud_agrario   TEXT,
    cbssp           TEXT,
    fondo_dsa       TEXT,
    aporte_fdsa     TEXT,
    sctr_essalud    TEXT,
    sctr_tributo    TEXT,
    sctr            INTEGER,
    rem_FCJMMS      TEXT,
    aporte_FCJMMS   TEXT,
    rem_FracFCJMMS  TEXT,
    aporte_FrFCJMMS TEXT,
    cNumero         TEXT
);

-- Concept amounts per person (cod_concep 4 digits). Control number n = 9;
-- monto_dif is always written empty.
CREATE TABLE IF NOT EXISTS F601_REMUNERA (
    tip_doc_d    INTEGER,
    doc_id_d     TEXT,
    correl_a     INTEGER,
    cod_cat_tra  INTEGER,
    tip_doc_a    INTEGER,
    doc_id_a     TEXT,
    periodo      TEXT,
    formulario   TEXT,
    cod_concep   TEXT,
    base_calculo TEXT,
    monto        TEXT,
    monto_pag    TEXT,
    monto_dif    TEXT,
    cnumero      TEXT
);

-- Establishments (LOCAL.cod_est) where a worker served. n = 8.
CREATE TABLE IF NOT EXISTS F601_ESTAB (
    tip_doc_d  INTEGER,
    doc_id_d   TEXT,
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    periodo    TEXT,
    formulario TEXT,
    cod_estab  INTEGER,
    cnumero    TEXT
);

-- Suspensions of a worker: subsidised (tipo_suspen 21, 22) and not subsidised.
-- fecha_ini/fecha_fin as dd/mm/yyyy. n = 9.
CREATE TABLE IF NOT EXISTS F601DIAS_NOLAB (
    tip_doc_d   INTEGER,
    doc_id_d    TEXT,
    correl_a    INTEGER,
    tip_doc_a   INTEGER,
    doc_id_a    TEXT,
    periodo     TEXT,
    formulario  TEXT,
    tipo_suspen TEXT,
    fecha_ini   TEXT,
    fecha_fin   TEXT,
    num_citt    TEXT,
    dias_sub    TEXT,
    dias_citt   TEXT,
    dias_lab    TEXT,
    dias_no_lab TEXT,
    cnumero     TEXT
);

-- Personnel of third parties (category 4) with their SCTR centre, rate and amount. n = 5.
CREATE TABLE IF NOT EXISTS F601_SCTR (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    fec_nac       TEXT,
    Nombre        TEXT DEFAULT '',
    centro        TEXT,
    tasa          TEXT,
    rem_sctrs     TEXT,
    sctrs         TEXT,
    tip_doc       TEXT,
    correl_centro INTEGER,
    correl_tasa   INTEGER,
    ruc_eps       TEXT,
    fec_baja      TEXT,
    cNumero       TEXT
);

-- Worker's SCTR choice: owner RUC, establishment (correl_centro = LOCAL.cod_est),
-- rate row (correl_tasa) and base.
CREATE TABLE IF NOT EXISTS F601_SCTR_OTRO (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    ruc           TEXT,
    centro        TEXT,
    tasa          TEXT,
    correl_centro INTEGER,
    correl_tasa   INTEGER,
    rem_sctrs     TEXT,
    cNumero       TEXT
);

-- Fifth-category income paid to a worker by other employers. n = 8.
CREATE TABLE IF NOT EXISTS F601_605 (
    tip_doc_d  INTEGER,
    doc_id_d   TEXT,
    periodo    TEXT,
    formulario TEXT,
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    ruc        TEXT,
    nombre     TEXT DEFAULT '',
    monto      TEXT,
    cNumero    TEXT
);

-- Fourth-category provider headers, one per person and voucher kind
-- (tip_retencion R fee receipt, N credit note, D board fee, O other). n = 8.
CREATE TABLE IF NOT EXISTS F601RDCAB (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    Des_Pat       TEXT DEFAULT '',
    Des_Mat       TEXT DEFAULT '',
    Des_No1       TEXT DEFAULT '',
    Des_No2       TEXT DEFAULT '',
    ind_domicilio TEXT,
    ruc           TEXT,
    cNumero       TEXT
);

-- Fourth-category vouchers; kinds D and O carry the series 'XXX'. n = 10.
CREATE TABLE IF NOT EXISTS F601RDDET (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    num_ser       TEXT,
    num_rec       TEXT,
    fec_emi       TEXT,
    fec_pago      TEXT,
    mto_rec       TEXT,
    ind_rta       TEXT,
    por_rta       TEXT,
    mto_rta       TEXT,
    ind_ies       TEXT,
    por_ies       TEXT,
    mto_ies       TEXT,
    num_for       TEXT,
    cNumero       TEXT
);

-- Vouchers as brought in by the provider-file import, keyed by the retention
-- document (tip_doc_ret, num_doc_ret); checked for duplicates by later imports.
CREATE TABLE IF NOT EXISTS F621RDDET (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    num_doc_ret   TEXT,
    tip_doc_ret   INTEGER,
    tip_retencion TEXT,
    num_ser       TEXT,
    num_rec       TEXT,
    fec_emi       TEXT,
    fec_pago      TEXT,
    mto_rec       TEXT,
    ind_rta       TEXT,
    por_rta       TEXT,
    mto_rta       TEXT,
    ind_ies       TEXT,
    por_ies       TEXT,
    mto_ies       TEXT,
    num_for       TEXT,
    cNumero       TEXT
);

-- Formative-modality trainees (category 5) with the amount paid (mto_renta). n = 8.
CREATE TABLE IF NOT EXISTS F601MFCAB (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    APELLIDO_P    TEXT DEFAULT '',
    APELLIDO_M    TEXT DEFAULT '',
    NOMBRE_1      TEXT DEFAULT '',
    mto_renta     TEXT,
    cNumero       TEXT
);

-- Payment vouchers of trainees (same shape as F601RDDET).
CREATE TABLE IF NOT EXISTS F601MFDET (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    num_ser       TEXT,
    num_rec       TEXT,
    fec_emi       TEXT,
    fec_pago      TEXT,
    mto_rec       TEXT,
    ind_rta       TEXT,
    por_rta       TEXT,
    mto_rta       TEXT,
    ind_ies       TEXT,
    por_ies       TEXT,
    mto_ies       TEXT,
    num_for       TEXT,
    cNumero       TEXT
);

-- Premises where a trainee trains (cod_estab = LOCAL.cod_est). n = 8.
CREATE TABLE IF NOT EXISTS F601_ESTABMF (
    tip_doc_d  INTEGER,
    doc_id_d   TEXT,
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    periodo    TEXT,
    formulario TEXT,
    cod_estab  INTEGER,
    cNumero    TEXT
);

-- EPS invoices behind the credit boxes 602, 612, 408 and 428. n = 9. Correl is 0/empty
-- for a declaration in preparation and the sending sequence in the history.
CREATE TABLE IF NOT EXISTS F600INFEPS (
    tip_doc_d   INTEGER,
    doc_id_d    TEXT,
    periodo     TEXT,
    formulario  TEXT,
    Casilla     TEXT,
    Correl      TEXT,
    RUC_EPS     TEXT,
    Periodo_fac TEXT,
    Num_Serie   TEXT,
    Num_Fac     TEXT,
    Fec_Emis    TEXT,
    Fec_pago    TEXT,
    Imp_total   TEXT,
    Imp_cred    TEXT,
    cNumero     TEXT
);

-- Subsidy certificates (CITT); also holds rows of form 0600.
CREATE TABLE IF NOT EXISTS F600SUBSID (
    tip_doc_d    INTEGER,
    doc_id_d     TEXT,
    periodo      TEXT,
    formulario   TEXT,
    correl_a     INTEGER,
    tip_doc_a    INTEGER,
    doc_id_a     TEXT,
    num_citt     TEXT,
    dias_trab    TEXT,
    dias_sub     TEXT,
    dias_no_trab TEXT,
    dias_citt    TEXT,
    fecha_SD     TEXT,
    fecha_SH     TEXT,
    cNumero      TEXT
);

-- Account where the pay of a person of the declaration was deposited.
CREATE TABLE IF NOT EXISTS CUENTA (
    tip_doc_d  INTEGER,
    doc_id_d   TEXT,
    periodo    TEXT,
    formulario TEXT,
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    cod_banco  TEXT,
    num_cuenta TEXT,
    cNumero    TEXT
);

-- ===============================================================================================
-- History twins: the declarations sent (one set of rows per sending, told apart by correl)
-- ===============================================================================================

CREATE TABLE IF NOT EXISTS HF601_TRAB (
    Tip_doc_d       INTEGER,
    doc_id_d        TEXT,
    Correl_a        INTEGER,
    periodo         TEXT,
    formulario      TEXT,
    cod_cat_tra     INTEGER,
    tip_doc_a       INTEGER,
    doc_id_a        TEXT,
    Situac          TEXT,
    Tipo            TEXT,
    dias_lab        TEXT,
    dias_no_lab     TEXT,
    dias_sub        TEXT,
    horas_nor       TEXT,
    horas_sob       TEXT,
    Tot_Ingresos    TEXT,
    AportDes        TEXT,
    NetoPagar       TEXT,
    AportEmp        TEXT,
    Ingresos        TEXT,
    Ing_Asig        TEXT,
    Ing_Bonif       TEXT,
    Ing_Gratif      TEXT,
    Ing_Indemniz    TEXT,
    Ing_publico     TEXT,
    Desc_Trab       TEXT,
    Otros_Concep    TEXT,
    Aport_TrabPens  TEXT,
    Concep_Varios   TEXT,
    rem_afecta      TEXT,
    tributo         TEXT,
    rem_20530       TEXT,
    trib_20530      TEXT,
    ipss_vida       TEXT,
    pension         INTEGER,
    rem_pens        TEXT,
    pens            TEXT,
    tipo_pago       TEXT,
    ind_quinta      TEXT,
    ind_domicilio   TEXT,
    rem_salud       TEXT,
    salud           TEXT,
    salud_agrario   TEXT,
    cbssp           TEXT,
    fondo_dsa       TEXT,
    aporte_fdsa     TEXT,
    sctr_essalud    TEXT,
    sctr_tributo    TEXT,
    sctr            INTEGER,
    rem_FCJMMS      TEXT,
    aporte_FCJMMS   TEXT,
    rem_FracFCJMMS  TEXT,
    aporte_FrFCJMMS TEXT,
    cNumero         TEXT,
    correl          TEXT
);

CREATE TABLE IF NOT EXISTS HF601_REMUNERA (
    tip_doc_d    INTEGER,
    doc_id_d     TEXT,
    correl_a     INTEGER,
    cod_cat_tra  INTEGER,
    tip_doc_a    INTEGER,
    doc_id_a     TEXT,
    periodo      TEXT,
    formulario   TEXT,
    cod_concep   TEXT,
    base_calculo TEXT,
    monto        TEXT,
    monto_pag    TEXT,
    monto_dif    TEXT,
    cnumero      TEXT,
    correl       TEXT
);

CREATE TABLE IF NOT EXISTS HF601_ESTAB (
    tip_doc_d  INTEGER,
    doc_id_d   TEXT,
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    periodo    TEXT,
    formulario TEXT,
    cod_estab  INTEGER,
    cnumero    TEXT,
    correl     TEXT
);

CREATE TABLE IF NOT EXISTS HF601DIAS_NOLAB (
    tip_doc_d   INTEGER,
    doc_id_d    TEXT,
    correl_a    INTEGER,
    tip_doc_a   INTEGER,
    doc_id_a    TEXT,
    periodo     TEXT,
    formulario  TEXT,
    tipo_suspen TEXT,
    fecha_ini   TEXT,
    fecha_fin   TEXT,
    num_citt    TEXT,
    dias_sub    TEXT,
    dias_citt   TEXT,
    dias_lab    TEXT,
    dias_no_lab TEXT,
    cnumero     TEXT,
    correl      TEXT
);

CREATE TABLE IF NOT EXISTS HF601_SCTR (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    fec_nac       TEXT,
    Nombre        TEXT DEFAULT '',
    centro        TEXT,
    tasa          TEXT,
    rem_sctrs     TEXT,
    sctrs         TEXT,
    tip_doc       TEXT,
    correl_centro INTEGER,
    correl_tasa   INTEGER,
    ruc_eps       TEXT,
    fec_baja      TEXT,
    cNumero       TEXT,
    correl        TEXT
);

CREATE TABLE IF NOT EXISTS HF601_SCTR_OTRO (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    ruc           TEXT,
    centro        TEXT,
    tasa          TEXT,
    correl_centro INTEGER,
    correl_tasa   INTEGER,
    rem_sctrs     TEXT,
    cNumero       TEXT,
    correl        TEXT
);

CREATE TABLE IF NOT EXISTS HF601_605 (
    tip_doc_d  INTEGER,
    doc_id_d   TEXT,
    periodo    TEXT,
    formulario TEXT,
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    ruc        TEXT,
    nombre     TEXT DEFAULT '',
    monto      TEXT,
    cNumero    TEXT,
    correl     TEXT
);

CREATE TABLE IF NOT EXISTS HF601RDCAB (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    Des_Pat       TEXT DEFAULT '',
    Des_Mat       TEXT DEFAULT '',
    Des_No1       TEXT DEFAULT '',
    Des_No2       TEXT DEFAULT '',
    ind_domicilio TEXT,
    ruc           TEXT,
    cNumero       TEXT,
    correl        TEXT
);

CREATE TABLE IF NOT EXISTS HF601RDDET (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    num_ser       TEXT,
    num_rec       TEXT,
    fec_emi       TEXT,
    fec_pago      TEXT,
    mto_rec       TEXT,
    ind_rta       TEXT,
    por_rta       TEXT,
    mto_rta       TEXT,
    ind_ies       TEXT,
    por_ies       TEXT,
    mto_ies       TEXT,
    num_for       TEXT,
    cNumero       TEXT,
    correl        TEXT
);

CREATE TABLE IF NOT EXISTS HF621RDDET (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    num_doc_ret   TEXT,
    tip_doc_ret   INTEGER,
    tip_retencion TEXT,
    num_ser       TEXT,
    num_rec       TEXT,
    fec_emi       TEXT,
    fec_pago      TEXT,
    mto_rec       TEXT,
    ind_rta       TEXT,
    por_rta       TEXT,
    mto_rta       TEXT,
    ind_ies       TEXT,
    por_ies       TEXT,
    mto_ies       TEXT,
    num_for       TEXT,
    cNumero       TEXT,
    correl        TEXT
);

CREATE TABLE IF NOT EXISTS HF601MFCAB (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    APELLIDO_P    TEXT DEFAULT '',
    APELLIDO_M    TEXT DEFAULT '',
    NOMBRE_1      TEXT DEFAULT '',
    mto_renta     TEXT,
    cNumero       TEXT,
    correl        TEXT
);

CREATE TABLE IF NOT EXISTS HF601MFDET (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    num_ser       TEXT,
    num_rec       TEXT,
    fec_emi       TEXT,
    fec_pago      TEXT,
    mto_rec       TEXT,
    ind_rta       TEXT,
    por_rta       TEXT,
    mto_rta       TEXT,
    ind_ies       TEXT,
    por_ies       TEXT,
    mto_ies       TEXT,
    num_for       TEXT,
    cNumero       TEXT,
    correl        TEXT
);

CREATE TABLE IF NOT EXISTS HF601_ESTABMF (
    tip_doc_d  INTEGER,
    doc_id_d   TEXT,
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    periodo    TEXT,
    formulario TEXT,
    cod_estab  INTEGER,
    cNumero    TEXT,
    correl     TEXT
);

CREATE TABLE IF NOT EXISTS HF600INFEPS (
    tip_doc_d   INTEGER,
    doc_id_d    TEXT,
    periodo     TEXT,
    formulario  TEXT,
    Casilla     TEXT,
    Correl      TEXT,
    RUC_EPS     TEXT,
    Periodo_fac TEXT,
    Num_Serie   TEXT,
    Num_Fac     TEXT,
    Fec_Emis    TEXT,
    Fec_pago    TEXT,
    Imp_total   TEXT,
    Imp_cred    TEXT,
    cNumero     TEXT
);

CREATE TABLE IF NOT EXISTS HF600SUBSID (
    tip_doc_d    INTEGER,
    doc_id_d     TEXT,
    periodo      TEXT,
    formulario   TEXT,
    correl_a     INTEGER,
    tip_doc_a    INTEGER,
    doc_id_a     TEXT,
    num_citt     TEXT,
    dias_trab    TEXT,
    dias_sub     TEXT,
    dias_no_trab TEXT,
    dias_citt    TEXT,
    fecha_SD     TEXT,
    fecha_SH     TEXT,
    cNumero      TEXT,
    correl       TEXT
);

CREATE TABLE IF NOT EXISTS HCUENTA (
    tip_doc_d  INTEGER,
    doc_id_d   TEXT,
    periodo    TEXT,
    formulario TEXT,
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    cod_banco  TEXT,
    num_cuenta TEXT,
    cNumero    TEXT,
    correl     TEXT
);

-- ===============================================================================================
-- Several programs on one file
-- ===============================================================================================

-- Version of each declaration in preparation, raised in the same transaction by every write that
-- replaces its stored rows (save, refresh, copy onto it, recovery, deletion, sending). A save
-- writes only when the version is still the one read when the declaration was opened. Kept
-- beside CAB rather than in it: CAB's row control number covers its columns in order, HCAB must
-- stay CAB plus the history columns, and the row outlives a deleted CAB so that a declaration
-- deleted and created again never shows an old version number.
CREATE TABLE IF NOT EXISTS CAB_VERSION (
    tip_doc_d  INTEGER NOT NULL,
    doc_id_d   TEXT NOT NULL,
    periodo    TEXT NOT NULL,
    Formulario TEXT NOT NULL,
    version    INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (tip_doc_d, doc_id_d, periodo, Formulario)
);

-- Raised for a declarant whenever its declarations are marked for refresh (ind_ref = 1): a save
-- whose working set was built from the registry before the last mark keeps the mark.
CREATE TABLE IF NOT EXISTS CONTR_MARCA (
    tip_doc_d INTEGER NOT NULL,
    doc_id_d  TEXT NOT NULL,
    marca     INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (tip_doc_d, doc_id_d)
);

-- The last save of each declaration in preparation: the inputs its outcome depends on (clave:
-- registry mark, fingerprints of the registry and reference tables and of the header and boxes,
-- parameter version, program, user and day; version: the declaration's version after that save),
-- what it concluded and the messages it showed (grabar), and what the validation of the stored
-- declaration prints and shows (validar; NULL while not known). While every input still matches,
-- a save of the unchanged declaration or its validation is answered from here without opening it.
CREATE TABLE IF NOT EXISTS CAB_SELLO (
    tip_doc_d     INTEGER NOT NULL,
    doc_id_d      TEXT NOT NULL,
    periodo       TEXT NOT NULL,
    Formulario    TEXT NOT NULL,
    version       INTEGER NOT NULL,
    clave         TEXT NOT NULL,
    inconsistente INTEGER NOT NULL,
    estado        INTEGER,
    ind_ref       INTEGER,
    total         TEXT,
    grabar        TEXT NOT NULL,
    validar       TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, periodo, Formulario)
);

-- Declarations open in a session of the module: who (user, computer, process) and since when
-- (UTC 'YYYY-MM-DD HH:MM:SS'); latido is renewed every minute while the form is open. A row whose
-- process is gone (same computer) or whose latido is older than five minutes is stale.
CREATE TABLE IF NOT EXISTS CAB_ABIERTA (
    tip_doc_d  INTEGER NOT NULL,
    doc_id_d   TEXT NOT NULL,
    periodo    TEXT NOT NULL,
    Formulario TEXT NOT NULL,
    sesion     TEXT NOT NULL,
    usuario    TEXT DEFAULT '',
    equipo     TEXT DEFAULT '',
    proceso    INTEGER,
    desde      TEXT,
    latido     TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, periodo, Formulario)
);

-- ===============================================================================================
-- Registry (maintained by the launcher)
-- ===============================================================================================

-- Declarants. Tipo_ingreso 2 = declares a payroll (offered by the declaration form), 1 = other income;
-- Ind_RegimenLab 1 private, 2 public, 3 mixed; ind_cat_* 1 when it declares that category.
CREATE TABLE IF NOT EXISTS CONTRVKRS (
    tip_doc_d       INTEGER NOT NULL,
    doc_id_d        TEXT NOT NULL,
    Nombre          TEXT DEFAULT '',
    APELLIDO_P      TEXT DEFAULT '',
    APELLIDO_M      TEXT DEFAULT '',
    NOMBRE_1        TEXT DEFAULT '',
    nom_razon       TEXT DEFAULT '',
    Tipo_ingreso    INTEGER,
    Usuario         TEXT DEFAULT '',
    Ind_RegimenLab  INTEGER,
    ind_adm_publica INTEGER,
    Ind_senati      INTEGER,
    ind_cat_trab    INTEGER,
    ind_cat_pen     INTEGER,
    ind_cat_pra     INTEGER,
    ind_cat_3ra     INTEGER,
    ind_cat_4ta     INTEGER,
    PRIMARY KEY (tip_doc_d, doc_id_d)
);

-- Persons of a declarant, one row per category. sexo 'M'/'F'; ind_domicilio '1' domiciled,
-- '2' not; ESSALUD_Vida '1' insured in +Vida with its monthly amount in ipss_vida; aseg_pens the
-- monthly 'Asegura tu pensión' amount (empty = none); estado 1 active; envio 1 sent to the authority.
CREATE TABLE IF NOT EXISTS ASEGVKRS (
    tip_doc_d     INTEGER NOT NULL,
    doc_id_d      TEXT NOT NULL,
    correl_a      INTEGER NOT NULL,
    cod_cat_tra   INTEGER NOT NULL,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    fec_nac       TEXT,
    apellido_p    TEXT DEFAULT '',
    apellido_m    TEXT DEFAULT '',
    nombre_1      TEXT DEFAULT '',
    Nombre_2      TEXT DEFAULT '',
    sexo          TEXT,
    Est_civil     INTEGER,
    ind_domicilio TEXT,
    ESSALUD_Vida  TEXT,
    ipss_vida     TEXT,
    aseg_pens     TEXT,
    RucEps        TEXT,
    fec_insc      TEXT,
    fec_baja      TEXT,
    estado        INTEGER,
    envio         INTEGER,
    tipo          TEXT,
    pension       INTEGER,
    ind_cat_trab  INTEGER,
    ind_cat_pen   INTEGER,
    ind_cat_pra   INTEGER,
    ind_cat_3ra   INTEGER,
    ind_cat_4ta   INTEGER,
    PRIMARY KEY (tip_doc_d, doc_id_d, correl_a, cod_cat_tra)
);

-- Labour data per person and category. ind_afieps '1' affiliated to an EPS (ruceps, cod_eps =
-- PARAM 701 code); sctr 1 SCTR health cover; sctr_pension 1 SCTR pension cover; ruc_cta: the
-- provider's own RUC (category 3) or the employing company's RUC (category 4).
CREATE TABLE IF NOT EXISTS ASEG_DET_LAB (
    tip_doc_d      INTEGER NOT NULL,
    doc_id_d       TEXT NOT NULL,
    correl_a       INTEGER NOT NULL,
    tip_doc_a      INTEGER,
    doc_id_a       TEXT,
    cod_cat_tra    INTEGER NOT NULL,
    situac         TEXT,
    tipo           TEXT,
    pension        INTEGER,
    ind_afieps     TEXT,
    ruceps         TEXT,
    cod_eps        TEXT,
    sctr           INTEGER,
    sctr_pension   INTEGER,
    num_cuenta     TEXT,
    ind_quinta     TEXT,
    ind_cat_4ta    INTEGER,
    ruc_cta        TEXT,
    aport_trabpens TEXT,
    aportdes       TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, correl_a, cod_cat_tra)
);

-- Labour periods (dates ISO); an open period has fec_fin NULL or empty; cod_extincion the reason
-- the period ended. Keyed by person, category and start date.
CREATE TABLE IF NOT EXISTS PERIODOLAB (
    tip_doc_d     INTEGER NOT NULL,
    doc_id_d      TEXT NOT NULL,
    correl_a      INTEGER NOT NULL,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    cod_cat_tra   INTEGER NOT NULL,
    fec_ini       TEXT NOT NULL,
    fec_fin       TEXT,
    tipo          TEXT,
    cod_extincion TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, fec_ini)
);

-- Dependants of a person (vinculo: 1 spouse, 2 partner, 3 child).
CREATE TABLE IF NOT EXISTS DEREHABVKRS (
    tip_doc_d  INTEGER NOT NULL,
    doc_id_d   TEXT NOT NULL,
    correl_a   INTEGER NOT NULL,
    tip_doc_f  INTEGER NOT NULL,
    doc_id_f   TEXT NOT NULL,
    apellido_p TEXT DEFAULT '',
    apellido_m TEXT DEFAULT '',
    nombre_1   TEXT DEFAULT '',
    Nombre_2   TEXT DEFAULT '',
    fec_nac    TEXT,
    vinculo    TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, correl_a, tip_doc_f, doc_id_f)
);

-- Establishments of a declarant, its own (doc_ruc_emp = doc_id_d) or of other companies;
-- cod_tipest PARAM 028; IND_SCTR 1 = risk activity.
CREATE TABLE IF NOT EXISTS LOCAL (
    tip_doc_d   INTEGER NOT NULL,
    doc_id_d    TEXT NOT NULL,
    cod_est     INTEGER NOT NULL,
    nom_est     TEXT DEFAULT '',
    cod_tipest  TEXT,
    doc_ruc_emp TEXT,
    IND_SCTR    INTEGER,
    PRIMARY KEY (tip_doc_d, doc_id_d, cod_est)
);

-- SCTR rates (percent) per establishment.
CREATE TABLE IF NOT EXISTS COR_TASAS_601 (
    tip_doc_d   INTEGER NOT NULL,
    doc_id_d    TEXT NOT NULL,
    doc_ruc_emp TEXT NOT NULL,
    cod_est     INTEGER NOT NULL,
    correl_tasa INTEGER NOT NULL,
    tasa        NUMERIC,
    PRIMARY KEY (tip_doc_d, doc_id_d, doc_ruc_emp, cod_est, correl_tasa)
);

-- EPS providers of a declarant.
CREATE TABLE IF NOT EXISTS EPS (
    tip_doc_d  INTEGER NOT NULL,
    doc_id_d   TEXT NOT NULL,
    RUC_EPS    TEXT NOT NULL,
    NOMBRE_EPS TEXT DEFAULT '',
    PRIMARY KEY (tip_doc_d, doc_id_d, RUC_EPS)
);

-- Other employers (and their premises) of a person.
CREATE TABLE IF NOT EXISTS OTROSCEN (
    tip_doc_d   INTEGER NOT NULL,
    doc_id_d    TEXT NOT NULL,
    correl_a    INTEGER NOT NULL,
    tip_doc_a   INTEGER,
    doc_id_a    TEXT,
    cod_cat_tra INTEGER NOT NULL,
    num_ruc_cen TEXT NOT NULL,
    nom_razon   TEXT DEFAULT '',
    PRIMARY KEY (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, num_ruc_cen)
);

-- Intermediation and outsourcing companies of a declarant (tipo 1 intermediation, 2 outsourcing).
CREATE TABLE IF NOT EXISTS INTERMEDIACION (
    tip_doc_d   INTEGER NOT NULL,
    doc_id_d    TEXT NOT NULL,
    NUM_RUC_INT TEXT NOT NULL,
    nom_razon   TEXT DEFAULT '',
    tipo        INTEGER,
    PRIMARY KEY (tip_doc_d, doc_id_d, NUM_RUC_INT)
);

-- Companion data of a person (Correl = ASEGVKRS.correl_a): payroll code, e-mail, pension-fund id.
CREATE TABLE IF NOT EXISTS COMP (
    tip_doc_d      INTEGER NOT NULL,
    doc_id_d       TEXT NOT NULL,
    Correl         INTEGER NOT NULL,
    cod_trabajador TEXT,
    correo         TEXT DEFAULT '',
    cuspp          TEXT,
    telefono       TEXT DEFAULT '',
    PRIMARY KEY (tip_doc_d, doc_id_d, Correl)
);

-- Concepts a declarant uses (ind_origen 'G' catalogue, 'P' own).
CREATE TABLE IF NOT EXISTS CON_AFEC (
    tip_doc_d    INTEGER NOT NULL,
    doc_id_d     TEXT NOT NULL,
    cod_concepto TEXT NOT NULL,
    ind_origen   TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, cod_concepto)
);

-- Own concepts with their 13-position affectation string in des_concepto.
CREATE TABLE IF NOT EXISTS CON_ADIC (
    tip_doc_d    INTEGER NOT NULL,
    doc_id_d     TEXT NOT NULL,
    cod_concepto TEXT NOT NULL,
    des_concepto TEXT,
    cNumero      TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, cod_concepto)
);

-- Descriptions of a declarant's own concepts.
CREATE TABLE IF NOT EXISTS conceptos_remu (
    tip_doc_d     INTEGER NOT NULL,
    doc_id_d      TEXT NOT NULL,
    cod_concepto  TEXT NOT NULL,
    desc_concepto TEXT DEFAULT '',
    ind_activo    INTEGER,
    ind_origen    TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, cod_concepto)
);

-- Tax options of a declarant: 050801 IES, 052100 EsSalud, 053100 ONP; valor 1 = the amount is
-- typed instead of computed (and, for 052100/053100, tasa replaces the rate).
CREATE TABLE IF NOT EXISTS AFECTACION (
    tip_doc_d   INTEGER NOT NULL,
    doc_id_d    TEXT NOT NULL,
    cod_tributo TEXT NOT NULL,
    valor       INTEGER,
    tasa        NUMERIC,
    PRIMARY KEY (tip_doc_d, doc_id_d, cod_tributo)
);

-- 13-position affectation string per own concept.
CREATE TABLE IF NOT EXISTS TRIBUT_AFECTA (
    tip_doc_d  INTEGER NOT NULL,
    doc_id_d   TEXT NOT NULL,
    codigo     TEXT NOT NULL,
    afectacion TEXT,
    PRIMARY KEY (tip_doc_d, doc_id_d, codigo)
);

-- Users: tipo '0' sees every declarant, any other type only its own (CONTRVKRS.Usuario).
CREATE TABLE IF NOT EXISTS CLAVES (
    Usuario TEXT NOT NULL,
    tipo    TEXT,
    clave   TEXT DEFAULT '',
    PRIMARY KEY (Usuario)
);

-- ===============================================================================================
-- Reference and system tables (reference rows are loaded from data/seed)
-- ===============================================================================================

-- Parameter lists: Funcion is a fixed-position record (1-based character positions).
CREATE TABLE IF NOT EXISTS PARAM (
    Numero    TEXT NOT NULL,
    Argumento TEXT NOT NULL,
    Funcion   TEXT,
    PRIMARY KEY (Numero, Argumento)
);

-- 13-position affectation string per catalogue concept.
CREATE TABLE IF NOT EXISTS PARAM_REMUNERA (
    CODIGO  TEXT NOT NULL,
    FUNCION TEXT,
    PRIMARY KEY (CODIGO)
);

-- Concept catalogue; codes ending in 00 are group headings; indica '1' = offered by default.
CREATE TABLE IF NOT EXISTS CONCEPTOS_REM (
    Codigo     TEXT NOT NULL,
    Descripc   TEXT DEFAULT '',
    indica     TEXT,
    ind_origen TEXT,
    PRIMARY KEY (Codigo)
);

-- Concepts allowed per worker type.
CREATE TABLE IF NOT EXISTS TIPO_CONCEPTOS (
    tipo         TEXT NOT NULL,
    cod_concepto TEXT NOT NULL,
    PRIMARY KEY (tipo, cod_concepto)
);

-- Coded messages (CodError 4 digits).
CREATE TABLE IF NOT EXISTS ERROR (
    CodError  TEXT NOT NULL,
    DescError TEXT DEFAULT '',
    PRIMARY KEY (CodError)
);

-- Generated report files: Secuencia '000001'... per CodRep, Archivo '00000001.PRN'... over all.
CREATE TABLE IF NOT EXISTS SPOOL (
    CodRep    TEXT NOT NULL,
    Secuencia TEXT NOT NULL,
    Archivo   TEXT,
    Fecha     TEXT,
    Usuario   TEXT DEFAULT '',
    tip_doc_d INTEGER,
    doc_id_d  TEXT,
    PRIMARY KEY (CodRep, Secuencia)
);

-- ===============================================================================================
-- Indexes
-- ===============================================================================================


-- Stored tables: declaration key, then person.
CREATE INDEX IF NOT EXISTS IX_F601_TRAB ON F601_TRAB(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601_TRAB ON HF601_TRAB(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601_REMUNERA ON F601_REMUNERA(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601_REMUNERA ON HF601_REMUNERA(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601_ESTAB ON F601_ESTAB(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601_ESTAB ON HF601_ESTAB(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601DIAS_NOLAB ON F601DIAS_NOLAB(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601DIAS_NOLAB ON HF601DIAS_NOLAB(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601_SCTR ON F601_SCTR(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601_SCTR ON HF601_SCTR(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601_SCTR_OTRO ON F601_SCTR_OTRO(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601_SCTR_OTRO ON HF601_SCTR_OTRO(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601_605 ON F601_605(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601_605 ON HF601_605(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601RDCAB ON F601RDCAB(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601RDCAB ON HF601RDCAB(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601RDDET ON F601RDDET(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601RDDET ON HF601RDDET(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F621RDDET ON F621RDDET(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF621RDDET ON HF621RDDET(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601MFCAB ON F601MFCAB(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601MFCAB ON HF601MFCAB(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601MFDET ON F601MFDET(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601MFDET ON HF601MFDET(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F601_ESTABMF ON F601_ESTABMF(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF601_ESTABMF ON HF601_ESTABMF(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_F600INFEPS ON F600INFEPS(tip_doc_d, doc_id_d, periodo, formulario, Correl, Casilla);
CREATE INDEX IF NOT EXISTS IX_HF600INFEPS ON HF600INFEPS(tip_doc_d, doc_id_d, periodo, formulario, Correl, Casilla);
CREATE INDEX IF NOT EXISTS IX_F600SUBSID ON F600SUBSID(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HF600SUBSID ON HF600SUBSID(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);
CREATE INDEX IF NOT EXISTS IX_CUENTA ON CUENTA(tip_doc_d, doc_id_d, periodo, formulario, correl_a);
CREATE INDEX IF NOT EXISTS IX_HCUENTA ON HCUENTA(tip_doc_d, doc_id_d, periodo, formulario, correl, correl_a);

-- Registry lookups.
CREATE INDEX IF NOT EXISTS IX_ASEGVKRS_DOC ON ASEGVKRS(tip_doc_d, doc_id_d, tip_doc_a, doc_id_a);
CREATE INDEX IF NOT EXISTS IX_ASEGVKRS_CAT ON ASEGVKRS(tip_doc_d, doc_id_d, cod_cat_tra);
CREATE INDEX IF NOT EXISTS IX_ASEG_DET_LAB_CAT ON ASEG_DET_LAB(tip_doc_d, doc_id_d, cod_cat_tra);
CREATE INDEX IF NOT EXISTS IX_ASEG_DET_LAB_DOC ON ASEG_DET_LAB(tip_doc_d, doc_id_d, tip_doc_a, doc_id_a);
CREATE INDEX IF NOT EXISTS IX_PERIODOLAB_DOC ON PERIODOLAB(tip_doc_d, doc_id_d, tip_doc_a, doc_id_a);
CREATE INDEX IF NOT EXISTS IX_PERIODOLAB_CAT ON PERIODOLAB(tip_doc_d, doc_id_d, cod_cat_tra);
CREATE INDEX IF NOT EXISTS IX_CONTRVKRS_USUARIO ON CONTRVKRS(Usuario);
CREATE INDEX IF NOT EXISTS IX_HCAB_DOC ON HCAB(doc_id_d, periodo);
CREATE INDEX IF NOT EXISTS IX_SPOOL_ARCHIVO ON SPOOL(Archivo);
